#pragma once
// Names of enhanced-metafile record types, for messages.

#include <cstdint>
#include <string>

namespace orvanetools {

// "EMR_FRAMERGN" for 72; "record type N" for a type without a name.
std::string EmfRecordName(uint32_t type);

}  // namespace orvanetools
