#pragma once
// EMF+ records as the published EMF+ format stores them in an enhanced
// metafile: inside EMR_GDICOMMENT records whose data starts with the
// identifier "EMF+", one after another, each with a 16-bit type and flags,
// a 32-bit size (the 12-byte record header included) and data size. The
// first is the EMF+ header (type 0x4001), whose flags' lowest bit marks a
// dual picture: one whose GDI records draw it too. The player draws no
// EMF+ record.

#include <cstddef>
#include <cstdint>
#include <vector>

#include <orvane/graphics/Metafile.h>

namespace orvane::vcl {

// How many well-formed EMF+ records the comment record `record` (`size`
// bytes from its type on) carries, up to the first whose size does not fit;
// 0 for a record that is no EMF+ comment.
uint64_t CountEmfPlusRecords(const uint8_t* record, size_t size);

// What the checked EMF `emf` holds of EMF+ (see TMetafile::EmfPlusContent).
TEmfPlusContent EmfPlusContentOf(const std::vector<uint8_t>& emf);

}  // namespace orvane::vcl
