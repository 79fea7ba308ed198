// Labels on a form: sizing to their text, word wrap, alignment, alTop, and
// that they draw only their glyphs, inside their bounds.

#include "FormsTestHelpers.h"
#include <orvane/gdi/FontEngine.h>

using namespace formstest;
using namespace orvane::vcl;

namespace {

// The box around every pixel of `ink` colour in the window, or an empty rect.
TRect InkBounds(const orvane::backend::HeadlessWindow& w, TColor ink) {
  TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int32_t y = 0; y < w.ClientHeight(); ++y)
    for (int32_t x = 0; x < w.ClientWidth(); ++x)
      if (w.Pixel(x, y) == ink) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  return box.left == INT32_MAX ? TRect{} : box;
}

class LabelTest : public FormsTest {
 protected:
  LabelTest() {
    application.CreateForm(form);
    form->SetClientWidth(300);
    form->SetClientHeight(120);
    form->SetColor(clWhite);
    form->OnPaint = [this](TComponent*) {
      form->Canvas().Brush().SetColor(kYellow);
      form->Canvas().FillRect(form->ClientRect());
    };
  }
  TLabel* AddLabel(const std::string& caption) {
    auto* label = new TLabel(form);
    label->SetParent(form);
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-17);
    font.SetColor(clBlue);
    label->SetFont(font);
    label->SetCaption(caption);
    return label;
  }
  orvane::backend::HeadlessWindow& Painted() {
    form->Show();
    application.ProcessMessages();
    return WindowOf(*form);
  }
  TForm* form = nullptr;
};

TEST_F(LabelTest, AutoSizeTakesTheSizeOfTheText) {
  TLabel* label = AddLabel("x");
  label->SetBounds(20, 30, 5, 5);
  label->SetCaption("TImage, TCanvas.StretchDraw");  // sizes the label again
  const orvane::gdi::Font font = label->Font().ToGdi();
  const int32_t width = orvane::gdi::TextWidth(font, U"TImage, TCanvas.StretchDraw");
  const int32_t height = orvane::gdi::GetTextMetrics(font).height;
  EXPECT_EQ(label->BoundsRect(), Bounds(20, 30, width, height));
  // Two lines by a line feed: twice the height, the width of the longer.
  label->SetCaption("ab\nabcd");
  EXPECT_EQ(label->Height(), 2 * height);
  EXPECT_EQ(label->Width(), orvane::gdi::TextWidth(font, U"abcd"));

  label->SetCaption("TImage, TCanvas.StretchDraw");
  const TRect ink = InkBounds(Painted(), clBlue);
  ASSERT_FALSE(ink.IsEmpty());
  // Glyphs only, inside the label; the handler's colour shows between them.
  EXPECT_GE(ink.left, label->Left());
  EXPECT_LE(ink.right, label->BoundsRect().right);
  EXPECT_GE(ink.top, label->Top());
  EXPECT_LE(ink.bottom, label->BoundsRect().bottom);
  EXPECT_EQ(WindowOf(*form).Pixel(label->Left(), label->Top()), kYellow);
}

TEST_F(LabelTest, FixedSizeWordWrapBreaksAtSpacesAndClipsToTheBounds) {
  TLabel* label = AddLabel("TOrvaneImage, TOrvaneBitmap, OrvaneStretchDraw");
  label->SetAutoSize(false);
  label->SetBounds(16, 48, 120, 30);
  label->SetWordWrap(true);
  EXPECT_EQ(label->BoundsRect(), Bounds(16, 48, 120, 30));
  const std::vector<std::u32string> lines = label->Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], U"TOrvaneImage,");
  EXPECT_EQ(lines[1], U"TOrvaneBitmap,");
  EXPECT_EQ(lines[2], U"OrvaneStretchDraw");
  // The third line lies below the 30-pixel box: cut off by the clip.
  const TRect ink = InkBounds(Painted(), clBlue);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GE(ink.top, 48);
  EXPECT_LE(ink.bottom, 78);
  EXPECT_GE(ink.left, 16);
  EXPECT_LE(ink.right, 136);
}

TEST_F(LabelTest, WrappedAutoSizeLabelKeepsItsWidthAndGrowsInHeight) {
  TLabel* label = AddLabel("one two three four five");
  label->SetWordWrap(true);
  label->SetWidth(60);
  EXPECT_EQ(label->Width(), 60);
  EXPECT_EQ(label->Height(), static_cast<int32_t>(label->Lines().size()) * label->LineHeight());
  EXPECT_GT(label->Lines().size(), 1u);
}

TEST_F(LabelTest, TopAlignedCentredLabelSpansTheClientWidthAndFollowsResizes) {
  TLabel* label = AddLabel("Demo");
  label->SetAlignment(taCenter);
  label->SetAlign(alTop);
  EXPECT_EQ(label->BoundsRect(), Rect(0, 0, 300, label->LineHeight()));
  TRect ink = InkBounds(Painted(), clBlue);
  ASSERT_FALSE(ink.IsEmpty());
  // Centred: the text's advance is centred; the ink sits within a couple of pixels of that.
  const int32_t textWidth = orvane::gdi::TextWidth(label->Font().ToGdi(), U"Demo");
  const int32_t left = (300 - textWidth) / 2;
  EXPECT_NEAR(ink.left, left, 2);
  EXPECT_NEAR(ink.right, left + textWidth, 2);

  backend.ResizeWindow(form->Window()->Id(), 500, 120);
  application.ProcessMessages();
  EXPECT_EQ(label->Width(), 500);
  EXPECT_EQ(label->Height(), label->LineHeight());
  ink = InkBounds(WindowOf(*form), clBlue);
  EXPECT_NEAR(ink.left, (500 - textWidth) / 2, 2);
}

TEST_F(LabelTest, RightJustifiedTextEndsAtTheRightEdge) {
  TLabel* label = AddLabel("Rechts");
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 200, 30);
  label->SetAlignment(taRightJustify);
  const TRect ink = InkBounds(Painted(), clBlue);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_NEAR(ink.right, 210, 2);
  EXPECT_GT(ink.left, 100);
}

}  // namespace

// More lines than a control can be high: the height stops at the largest a
// control takes, 2^30 - 1, where lines times line height would pass 2^31.
TEST_F(LabelTest, AutoSizeHeightStopsAtTheLargestControlSize) {
  TLabel* label = AddLabel("x");
  TFont font;
  font.SetName("Arial");
  font.SetHeight(-4096);
  label->SetFont(font);
  const int32_t lineHeight = label->Height();  // one line of that font
  ASSERT_GT(lineHeight, 0);
  const size_t lines = (size_t{1} << 31) / static_cast<size_t>(lineHeight) + 1;
  label->SetCaption(std::string(lines - 1, '\n'));
  EXPECT_EQ(label->Height(), (1 << 30) - 1);
  Painted();  // stops at the lines that can show: counting on past them would overflow
}
