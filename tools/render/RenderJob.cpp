#include "render/RenderJob.h"

#include <unistd.h>

#include <cerrno>
#include <exception>
#include <functional>
#include <new>

#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/RgbaImage.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/EnglishMessages.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>
#include "render/EmfRecordNames.h"
#include "render/OutputFile.h"
#include "render/PictureInput.h"
#include "render/PngEncoding.h"
#include "sprite/SpriteWriter.h"

namespace orvanetools {

namespace {

static_assert(kLargestSide == orvane::kLargestPictureSide, "the options allow what the library draws");

// A failure of the tool's own making, not the runtime's.
struct ToolFailure {
  std::string message;
};

orvane::PictureSize AskedSize(const RenderOptions& o, const LoadedPicture& picture) {
  switch (o.sizeMode) {
    case SizeMode::Exact: return orvane::PictureSize::Exact(o.width, o.height);
    case SizeMode::Fit: return orvane::PictureSize::Fit(o.width, o.height);
    case SizeMode::Dpi: return orvane::PictureSize::AtDpi(o.dpi, picture.inchesWide, picture.inchesHigh);
    case SizeMode::Natural: break;
  }
  return orvane::PictureSize::Natural();
}

std::string SizeText(orvane::PixelSize size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

void CheckPositive(orvane::PixelSize size) {
  if (size.width <= 0 || size.height <= 0) throw orvane::rtl::EInvalidOperation(orvane::rtl::msg::NegativeSize);
}

// A size worked out from the picture (a 0 side of --size, --dpi) may go past
// the limit the options themselves are held to.
void CheckLimit(orvane::PixelSize size) {
  if (size.width > kLargestSide || size.height > kLargestSide)
    throw ToolFailure{"the size to draw, " + SizeText(size) + ", is above the limit of " +
                      SizeText({kLargestSide, kLargestSide})};
  CheckPositive(size);
}

// The record types a metafile's playback leaves out; the player skips by
// type, whatever the target, so a one-pixel playback tells it.
void ReportSkippedRecords(const orvane::vcl::TGraphic& graphic, RenderOutcome& outcome) {
  const auto* metafile = dynamic_cast<const orvane::vcl::TMetafile*>(&graphic);
  if (!metafile) return;
  orvane::vcl::TBitmap scratch;
  scratch.SetSize(1, 1);
  orvane::vcl::TPlaybackReport report;
  metafile->DrawReporting(scratch.Canvas(), orvane::vcl::Rect(0, 0, 1, 1), report);
  outcome.skippedRecords = report.skipped;
  outcome.emfPlusRecords = report.emfPlusRecords;
}

// A picture whose drawing is all in EMF+ records would come out blank.
void RefuseOnlyEmfPlus(const orvane::vcl::TGraphic& graphic) {
  const auto* metafile = dynamic_cast<const orvane::vcl::TMetafile*>(&graphic);
  if (metafile && metafile->EmfPlusContent() == orvane::vcl::TEmfPlusContent::OnlyEmfPlus)
    throw ToolFailure{"the picture holds only EMF+ records, which are not drawn"};
}

// What a task writes once its input is read and sized: the bytes of a
// sprite file, or a PNG made as it is written (drawing as it goes).
struct Output {
  std::vector<uint8_t> bytes;
  std::function<void(const PngSink&)> png;
  // What the drawing holds on to.
  orvane::TOrvaneBitmap sprite;
  LoadedPicture picture;
  orvane::vcl::TBitmap canvas;
};

// Reads and sizes the input (and draws what is not drawn as it is written);
// sets the sizes of the outcome.
void Prepare(const RenderOptions& o, const RenderTask& task, RenderOutcome& outcome, Output& out) {
  if (IsSpriteInput(task.input)) {
    out.sprite.LoadSpriteFile(task.input);
    outcome.natural = outcome.drawn = {out.sprite.Width(), out.sprite.Height()};
    CheckPositive(outcome.drawn);
    if (o.format == OutputFormat::Sprite) out.bytes = EncodeSprite(out.sprite);
    else out.png = [&sprite = out.sprite](const PngSink& sink) { WritePngOfSprite(sprite, sink); };
    return;
  }
  const std::vector<uint8_t> bytes = ReadInput(task.input);
  if (task.input == "-" && bytes.empty()) throw ToolFailure{"standard input is empty"};
  out.picture = LoadPicture(task.input, bytes);
  const orvane::vcl::TGraphic* graphic = out.picture.graphic.get();
  RefuseOnlyEmfPlus(*graphic);
  outcome.natural = {graphic->Width(), graphic->Height()};
  outcome.drawn = orvane::SizeFor(AskedSize(o, out.picture), outcome.natural);
  if (o.sizeMode == SizeMode::Natural && outcome.drawn != outcome.natural)
    outcome.notes += "the picture is " + SizeText(outcome.natural) + " pixels; drawing it at " +
                     SizeText(outcome.drawn) + " to fit 2048x2048\n";
  CheckLimit(outcome.drawn);
  if (o.verbose) ReportSkippedRecords(*graphic, outcome);
  const auto w = static_cast<int32_t>(outcome.drawn.width), h = static_cast<int32_t>(outcome.drawn.height);
  const orvane::FilteredDrawOptions drawing{o.quality, o.thinLines};
  if (o.format == OutputFormat::Sprite) {
    out.sprite.Render(graphic, w, h, drawing);
    out.bytes = EncodeSprite(out.sprite);
    return;
  }
  if (o.aliased) {
    out.canvas.SetSize(w, h);
    out.canvas.Canvas().Brush().SetColor(static_cast<orvane::vcl::TColor>(*o.background));
    out.canvas.Canvas().FillRect(orvane::vcl::Rect(0, 0, w, h));
    out.canvas.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, w, h), graphic);
    out.png = [&canvas = out.canvas](const PngSink& sink) { WritePngOfBitmap(canvas, sink); };
    return;
  }
  orvane::RgbaOptions rgba{drawing, orvane::AlphaMode::Straight};
  if (o.background) {
    rgba.alpha = orvane::AlphaMode::Opaque;
    rgba.background = static_cast<orvane::vcl::TColor>(*o.background);
  }
  out.png = [graphic, size = outcome.drawn, rgba](const PngSink& sink) {
    WritePngOfDrawing(*graphic, size, rgba, sink);
  };
}

// The bytes of a descriptor, gathered into writes of a useful size. A
// failed write raises WriteFailed with its errno.
class DescriptorSink {
 public:
  struct WriteFailed {
    int code;
  };
  explicit DescriptorSink(int fd) : fd_(fd) { buffer_.reserve(kBufferBytes); }
  void Put(const uint8_t* bytes, size_t size) {
    if (buffer_.size() + size > kBufferBytes) Flush();
    if (size >= kBufferBytes) WriteAll(bytes, size);
    else buffer_.insert(buffer_.end(), bytes, bytes + size);
  }
  void Flush() {
    WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  static constexpr size_t kBufferBytes = size_t{1} << 16;
  void WriteAll(const uint8_t* bytes, size_t size) {
    while (size > 0) {
      const ssize_t put = ::write(fd_, bytes, size);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) throw WriteFailed{put == 0 ? ENOSPC : errno};
      bytes += put;
      size -= size_t(put);
    }
  }
  int fd_;
  std::vector<uint8_t> buffer_;
};

// Writes the PNG to a file as it is made. A failure to write is the
// output's (EInOutError); one of making it, the drawing's, raised as it
// was with the outcome's path back on the input.
void StreamPngToFile(const std::function<void(const PngSink&)>& png, const RenderTask& task,
                     RenderOutcome& outcome) {
  std::exception_ptr drawingError;
  try {
    WriteOutputFileFrom(task.output, [&](int fd) {
      DescriptorSink out(fd);
      try {
        png([&out](const uint8_t* bytes, size_t size) { out.Put(bytes, size); });
        out.Flush();
        return true;
      } catch (const DescriptorSink::WriteFailed& failed) {
        errno = failed.code;
      } catch (...) {
        drawingError = std::current_exception();
        errno = EIO;
      }
      return false;
    });
  } catch (...) {
    if (!drawingError) throw;
  }
  if (drawingError) {
    outcome.failedPath = task.input;
    std::rethrow_exception(drawingError);
  }
}

// Writes the task's output; the outcome's path is the output's from here
// on, but for a drawing that fails as it is written.
void Write(Output& out, const RenderTask& task, RenderOutcome& outcome) {
  if (out.png && task.output == "-") {
    // Standard output cannot take back what it was given: it gets the
    // whole file once the drawing is done.
    out.png([&bytes = out.bytes](const uint8_t* data, size_t size) { bytes.insert(bytes.end(), data, data + size); });
    out.png = nullptr;
  }
  outcome.failedPath = task.output;
  if (out.png) StreamPngToFile(out.png, task, outcome);
  else if (task.output == "-") WriteStandardOutput(out.bytes);
  else WriteOutputFile(task.output, out.bytes);
}

const char* QualityName(orvane::TOrvanePictureQuality quality) {
  static const char* const names[] = {"very-low", "low", "med", "high", "very-high"};
  return names[static_cast<int>(quality)];
}

}  // namespace

RenderOutcome RunRenderTask(const RenderOptions& o, const RenderTask& task, const InputFiles& inputs) {
  RenderOutcome outcome;
  if (const std::string input = inputs.InputAt(task.output); !input.empty()) {
    outcome.failedPath = task.output;
    outcome.message = SameFileMessage(input);
    return outcome;
  }
  outcome.failedPath = task.input;
  try {
    Output out;
    Prepare(o, task, outcome, out);
    Write(out, task, outcome);
    outcome.written = true;
    outcome.failedPath.clear();
  } catch (const orvane::rtl::Exception& e) {
    outcome.message = orvane::rtl::UserMessage(e.Message());
  } catch (const ToolFailure& e) {
    outcome.message = e.message;
  } catch (const std::bad_alloc&) {
    outcome.message = orvane::rtl::UserMessage(orvane::rtl::EOutOfMemory().Message());
  }
  return outcome;
}

std::string DescribeOutcome(const RenderOptions& o, const RenderOutcome& outcome) {
  std::string line = "natural size " + std::to_string(outcome.natural.width) + "x" +
                     std::to_string(outcome.natural.height) + ", drawn at " + std::to_string(outcome.drawn.width) +
                     "x" + std::to_string(outcome.drawn.height) + ", quality " + QualityName(o.quality) +
                     (o.aliased ? " (aliased)" : "") + ", records not drawn: ";
  if (outcome.skippedRecords.empty()) line += "none";
  bool first = true;
  for (const auto& [type, count] : outcome.skippedRecords) {
    line += (first ? "" : ", ") + EmfRecordName(type) + " x" + std::to_string(count);
    first = false;
  }
  if (outcome.emfPlusRecords > 0) line += ", EMF+ records: " + std::to_string(outcome.emfPlusRecords);
  return line;
}

}  // namespace orvanetools
