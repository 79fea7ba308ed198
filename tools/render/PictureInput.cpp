#include "render/PictureInput.h"

#include <unistd.h>

#include <cerrno>

#include <orvane/graphics/PhysicalSize.h>
#include <orvane/graphics/PictureReading.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>
#include "render/RenderOptions.h"

namespace orvanetools {

namespace {

// Standard input as it arrives (memory follows what comes, not what is asked for).
size_t ReadStandardInput(uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(STDIN_FILENO, buffer + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw orvane::rtl::EReadError();
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

}  // namespace

std::vector<uint8_t> ReadInput(const std::string& input) {
  // Standard input is read as files are: only as far as its header claims.
  if (input == "-") return orvane::vcl::ReadPicture(ReadStandardInput);
  return orvane::vcl::ReadPictureFile(input, orvane::vcl::PictureFormatOfName(input));
}

LoadedPicture LoadPicture(const std::string& name, const std::vector<uint8_t>& bytes) {
  LoadedPicture picture;
  picture.kind = orvane::vcl::RecognizePictureFormat(bytes.data(), bytes.size());
  if (picture.kind == orvane::vcl::TPictureFormat::Unknown && name != "-")
    picture.kind = orvane::vcl::PictureFormatOfName(name);
  picture.graphic = orvane::vcl::NewGraphicFor(picture.kind);
  if (!picture.graphic)
    throw orvane::rtl::EInvalidGraphic(
        orvane::rtl::msg::FormatS(orvane::rtl::msg::UnknownExtensionFmt, name == "-" ? "" : LowerExtension(name)));
  const orvane::vcl::TPhysicalSize physical =
      orvane::vcl::LoadWithPhysicalSize(*picture.graphic, picture.kind, bytes.data(), bytes.size());
  picture.inchesWide = physical.inchesWide;
  picture.inchesHigh = physical.inchesHigh;
  return picture;
}

}  // namespace orvanetools
