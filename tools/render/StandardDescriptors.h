#pragma once
// The standard descriptors of orvane-render. A program started with one of
// them closed would otherwise hand that number to the next file it opens,
// and whatever is meant for standard error (reports of other workers) or
// standard output would land in a picture being written.

namespace orvanetools {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed (0 for
// reading, 1 and 2 for writing), so that later files never get their numbers.
void OpenClosedStandardDescriptors();

}  // namespace orvanetools
