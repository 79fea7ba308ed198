#include "render/RenderJob.h"

#include <new>

#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FloatMath.h>
#include <orvane/rtl/Messages.h>
#include "render/EmfRecordNames.h"
#include "render/OutputFile.h"
#include "render/PictureInput.h"
#include "render/PngEncoding.h"
#include "sprite/SpriteWriter.h"

namespace orvanetools {

namespace {

// A failure of the tool's own making, not the runtime's.
struct ToolFailure {
  std::string message;
};

PixelSize TargetSize(const RenderOptions& o, const LoadedPicture& picture, PixelSize natural, std::string& notes) {
  switch (o.sizeMode) {
    case SizeMode::Exact: return ExactSize(natural, o.width, o.height);
    case SizeMode::Fit: return FitInBox(natural, o.width, o.height);
    case SizeMode::Dpi: return SizeAtDpi(picture.inchesWide, picture.inchesHigh, o.dpi);
    case SizeMode::Natural: break;
  }
  return CappedNaturalSize(natural, notes);
}

void CheckPositive(PixelSize size) {
  if (size.width <= 0 || size.height <= 0) throw orvane::rtl::EInvalidOperation(orvane::rtl::msg::NegativeSize);
}

// A size worked out from the picture (a 0 side of --size, --dpi) may go past
// the limit the options themselves are held to.
void CheckLimit(PixelSize size) {
  if (size.width > kLargestSide || size.height > kLargestSide)
    throw ToolFailure{"the size to draw, " + std::to_string(size.width) + "x" + std::to_string(size.height) +
                      ", is above the limit of " + std::to_string(kLargestSide) + "x" + std::to_string(kLargestSide)};
  CheckPositive(size);
}

// The record types a metafile's playback leaves out; the player skips by
// type, whatever the target, so a one-pixel playback tells it.
void ReportSkippedRecords(const orvane::vcl::TGraphic& graphic, RenderOutcome& outcome) {
  const auto* metafile = dynamic_cast<const orvane::vcl::TMetafile*>(&graphic);
  if (!metafile) return;
  orvane::vcl::TBitmap scratch;
  scratch.SetSize(1, 1);
  metafile->DrawReportingSkipped(scratch.Canvas(), orvane::vcl::Rect(0, 0, 1, 1), outcome.skippedRecords);
}

// The file bytes to write; sets the sizes of the outcome.
std::vector<uint8_t> Draw(const RenderOptions& o, const RenderTask& task, RenderOutcome& outcome) {
  orvane::TOrvaneBitmap sprite;
  if (IsSpriteInput(task.input)) {
    sprite.LoadSpriteFile(task.input);
    outcome.natural = outcome.drawn = {sprite.Width(), sprite.Height()};
    CheckPositive(outcome.drawn);
    return o.format == OutputFormat::Sprite ? EncodeSprite(sprite) : PngOfSprite(sprite);
  }
  const std::vector<uint8_t> bytes = ReadInput(task.input);
  if (task.input == "-" && bytes.empty()) throw ToolFailure{"standard input is empty"};
  const LoadedPicture picture = LoadPicture(task.input, bytes);
  const orvane::vcl::TGraphic* graphic = picture.graphic.get();
  outcome.natural = {graphic->Width(), graphic->Height()};
  outcome.drawn = TargetSize(o, picture, outcome.natural, outcome.notes);
  CheckLimit(outcome.drawn);
  if (o.verbose) ReportSkippedRecords(*graphic, outcome);
  const auto w = static_cast<int32_t>(outcome.drawn.width), h = static_cast<int32_t>(outcome.drawn.height);
  const orvane::FilteredDrawOptions drawing{o.quality, o.thinLines};
  if (o.format == OutputFormat::Sprite || !o.background) {
    sprite.Render(graphic, w, h, drawing);
    return o.format == OutputFormat::Sprite ? EncodeSprite(sprite) : PngOfSprite(sprite);
  }
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(w, h);
  canvas.Canvas().Brush().SetColor(static_cast<orvane::vcl::TColor>(*o.background));
  canvas.Canvas().FillRect(orvane::vcl::Rect(0, 0, w, h));
  if (o.aliased) canvas.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, w, h), graphic);
  else
    orvane::FilteredDraw(canvas.Canvas(), 0, 0, *graphic, drawing, orvane::rtl::CheckedDivide(w, graphic->Width()),
                         orvane::rtl::CheckedDivide(h, graphic->Height()));
  return PngOfBitmap(canvas);
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
    const std::vector<uint8_t> bytes = Draw(o, task, outcome);
    outcome.failedPath = task.output;
    if (task.output == "-") WriteStandardOutput(bytes);
    else WriteOutputFile(task.output, bytes);
    outcome.written = true;
    outcome.failedPath.clear();
  } catch (const orvane::rtl::Exception& e) {
    outcome.message = e.Message();
  } catch (const ToolFailure& e) {
    outcome.message = e.message;
  } catch (const std::bad_alloc&) {
    outcome.message = orvane::rtl::EOutOfMemory().Message();
  }
  return outcome;
}

std::string DescribeOutcome(const RenderOptions& o, const RenderOutcome& outcome) {
  std::string line = "natural size " + std::to_string(outcome.natural.width) + "x" +
                     std::to_string(outcome.natural.height) + ", drawn at " + std::to_string(outcome.drawn.width) +
                     "x" + std::to_string(outcome.drawn.height) + ", quality " + QualityName(o.quality) +
                     (o.aliased ? " (aliased)" : "") + ", records not drawn: ";
  if (outcome.skippedRecords.empty()) return line + "none";
  bool first = true;
  for (const auto& [type, count] : outcome.skippedRecords) {
    line += (first ? "" : ", ") + EmfRecordName(type) + " x" + std::to_string(count);
    first = false;
  }
  return line;
}

}  // namespace orvanetools
