#include <orvane/forms/Label.h>

#include <algorithm>

#include <orvane/forms/WinControl.h>
#include <orvane/gdi/FontEngine.h>
#include <orvane/gdi/detail/GlyphDrawing.h>
#include <orvane/gdi/detail/SpanPaint.h>

namespace orvane::vcl {

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 65, 17); }

void TLabel::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

int32_t TLabel::LineHeight() const { return gdi::GetTextMetrics(Font().ToGdi()).height; }

std::vector<std::u32string> TLabel::Lines() const {
  const std::u32string text = gdi::Utf8ToUtf32(caption_);
  // Without word wrap only line feeds break: a width no line can exceed.
  return gdi::WrapText(Font().ToGdi(), text, wordWrap_ ? std::max(Width(), 1) : INT32_MAX);
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading() || adjusting_) return;
  adjusting_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{adjusting_};
  const gdi::Font font = Font().ToGdi();
  const std::vector<std::u32string> lines = Lines();
  int32_t textWidth = 0;
  for (const auto& line : lines) textWidth = std::max(textWidth, gdi::TextWidth(font, line));
  // An empty caption still takes one line.
  const int32_t height = static_cast<int32_t>(
      std::min<int64_t>(static_cast<int64_t>(std::max<size_t>(lines.size(), 1)) * LineHeight(), kMaxControlCoordinate));
  // An aligned label keeps the width its alignment gives it; with word wrap
  // the width is given and only the height follows.
  const bool keepWidth = wordWrap_ || Align() == alTop || Align() == alBottom || Align() == alClient;
  SetBounds(Left(), Top(), keepWidth ? Width() : textWidth, height);
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::Resized() {
  // A wrapped label's height depends on its width.
  if (wordWrap_) AdjustBounds();
}

void TLabel::Paint() {
  gdi::HDC dc = Canvas().Handle();
  if (!dc) return;
  const gdi::Font font = Font().ToGdi();
  const gdi::TextMetrics metrics = gdi::GetTextMetrics(font);
  gdi::RenderTarget target(*dc);
  if (target.IsEmpty()) return;
  const gdi::COLORREF color = ColorToRGB(Font().Color());
  int32_t y = 0;
  for (const std::u32string& line : Lines()) {
    const int32_t width = gdi::TextWidth(font, line);
    int32_t x = 0;
    if (alignment_ == taRightJustify) x = Width() - width;
    else if (alignment_ == taCenter) x = (Width() - width) / 2;
    const gdi::PointD origin{double(dc->origin.x) + x, double(dc->origin.y) + y + metrics.ascent};
    if (!line.empty()) gdi::DrawGlyphs(target, font, origin, line, color);
    y += metrics.height;
    if (y > Height() + metrics.height) break;  // the lines below cannot show
  }
}

}  // namespace orvane::vcl
