// orvane-picture-generator: path data (.paths) to an enhanced metafile.
// Usage: orvane-picture-generator INPUT.paths OUTPUT.emf

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "pictures/PathData.h"
#include "pictures/PictureEmf.h"
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: orvane-picture-generator INPUT.paths OUTPUT.emf\n", stderr);
    return 2;
  }
  try {
    const std::vector<uint8_t> bytes = orvane::rtl::ReadWholeFile(argv[1]);
    const orvanetools::PathPicture picture = orvanetools::ParsePathData(std::string(bytes.begin(), bytes.end()));
    orvane::rtl::WriteFileAtomically(argv[2], orvanetools::EncodePictureEmf(picture));
  } catch (const orvane::rtl::Exception& e) {
    std::fprintf(stderr, "orvane-picture-generator: %s: %s\n", argv[1], e.Message().c_str());
    return 1;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "orvane-picture-generator: %s\n", orvane::rtl::EOutOfMemory().Message().c_str());
    return 1;
  }
  return 0;
}
