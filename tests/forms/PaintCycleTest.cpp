// The paint cycle of a form built from a definition: erase, the form's paint
// handler, then the graphic controls in creation order, each clipped to its
// bounds and to the region; and what a failing paint does.

#include "FormsTestHelpers.h"

using namespace formstest;
using namespace orvane::vcl;

namespace {

constexpr TColor kTL = 0x000080, kTR = 0x008000, kBL = 0x800000, kBR = 0x808000;

// Client area 100 x 60 (outer 108 x 87). Probe1 at (10,10)-(30,20), Image1 at
// (40,10)-(60,30) showing a 2 x 2 picture stretched, Probe2 at (50,25)-(60,35)
// overlapping the image's bottom-right corner.
const char* kDefinition = R"(object TestForm: TTestForm
  Left = 10
  Top = 20
  Width = 108
  Height = 87
  Caption = 'Paint test'
  Color = clWhite
  OnPaint = FormPaint
  object Probe1: TProbe
    Left = 10
    Top = 10
    Width = 20
    Height = 10
    Color = clBlue
  end
  object Image1: TImage
    Left = 40
    Top = 10
    Width = 20
    Height = 20
    Picture.Data = resource 'PaintTestPicture'
    Stretch = True
  end
  object Probe2: TProbe
    Left = 50
    Top = 25
    Width = 10
    Height = 10
    Color = clLime
  end
end
)";

class PaintCycleTest : public FormsTest {
 protected:
  PaintCycleTest() {
    AddResource("PaintTestPicture", ResourceKind::Binary, BitmapPictureRecord(kTL, kTR, kBL, kBR));
    AddResource("TTESTFORM", ResourceKind::FormDefinition, kDefinition);
    application.CreateForm(form);
    form->Show();
    application.ProcessMessages();
  }
  TTestForm* form = nullptr;
  int32_t Pixel(int32_t x, int32_t y) { return WindowOf(*form).Pixel(x, y); }
};

TEST_F(PaintCycleTest, DefinitionBuildsTheFormAndBindsFieldsAndHandler) {
  EXPECT_EQ(form->Name(), "TestForm");
  EXPECT_EQ(form->Caption(), "Paint test");
  EXPECT_EQ(form->ClientWidth(), 100);
  EXPECT_EQ(form->ClientHeight(), 60);
  ASSERT_NE(form->Probe1, nullptr);
  ASSERT_NE(form->Image1, nullptr);
  ASSERT_NE(form->Probe2, nullptr);
  EXPECT_EQ(form->Probe1->Name(), "Probe1");
  EXPECT_EQ(form->Probe1->Parent(), form);
  EXPECT_EQ(form->Probe1->Owner(), form);
  EXPECT_EQ(form->Image1->BoundsRect(), Rect(40, 10, 60, 30));
  EXPECT_EQ(form->Image1->Picture().Width(), 2);
  EXPECT_TRUE(form->Image1->Stretch());
  EXPECT_EQ(application.MainForm(), form);
  EXPECT_EQ(WindowOf(*form).Caption(), "Paint test");
  EXPECT_EQ(WindowOf(*form).ClientWidth(), 100);
}

TEST_F(PaintCycleTest, HandlerPaintsUnderControlsAndEachControlIsClippedToItsBounds) {
  EXPECT_EQ(form->formPaints, 1);
  EXPECT_EQ(form->Probe1->paints, 1);
  EXPECT_EQ(form->Probe2->paints, 1);
  // The handler covered the client area; Probe1 only its own 20 x 10.
  EXPECT_EQ(Pixel(0, 0), clRed);
  EXPECT_EQ(Pixel(99, 59), clRed);
  EXPECT_EQ(Pixel(10, 10), clBlue);
  EXPECT_EQ(Pixel(29, 19), clBlue);
  EXPECT_EQ(Pixel(9, 10), clRed);
  EXPECT_EQ(Pixel(30, 10), clRed);
  EXPECT_EQ(Pixel(10, 9), clRed);
  EXPECT_EQ(Pixel(10, 20), clRed);
  // The image: each source pixel becomes a 10 x 10 block.
  EXPECT_EQ(Pixel(41, 11), kTL);
  EXPECT_EQ(Pixel(48, 18), kTL);
  EXPECT_EQ(Pixel(51, 11), kTR);
  EXPECT_EQ(Pixel(41, 28), kBL);
  EXPECT_EQ(Pixel(58, 22), kBR);
  EXPECT_EQ(Pixel(39, 15), clRed);
  EXPECT_EQ(Pixel(45, 30), clRed);
  // Probe2 comes after the image and covers its corner, but not beyond itself.
  EXPECT_EQ(Pixel(55, 27), kLime);
  EXPECT_EQ(Pixel(59, 34), kLime);
  EXPECT_EQ(Pixel(49, 27), kBL);
  EXPECT_EQ(Pixel(60, 27), clRed);
  EXPECT_EQ(Pixel(55, 35), clRed);
  EXPECT_TRUE(backend.MessageBoxes().empty());
}

TEST_F(PaintCycleTest, WithoutHandlerTheRegionIsErasedToTheFormColour) {
  form->OnPaint = nullptr;
  form->SetColor(0x00FFFF);  // invalidates the whole client area
  application.ProcessMessages();
  EXPECT_EQ(Pixel(0, 0), 0x00FFFF);
  EXPECT_EQ(Pixel(35, 40), 0x00FFFF);
  EXPECT_EQ(Pixel(15, 15), clBlue);
}

TEST_F(PaintCycleTest, OnlyTheInvalidRegionIsRepaintedAndOnlyControlsMeetingIt) {
  form->paintColor = kYellow;
  form->InvalidateRect(Rect(0, 0, 10, 10));
  form->InvalidateRect(Rect(70, 40, 80, 50));  // regions accumulate
  application.ProcessMessages();
  EXPECT_EQ(form->formPaints, 2);
  EXPECT_EQ(Pixel(0, 0), kYellow);
  EXPECT_EQ(Pixel(9, 9), kYellow);
  EXPECT_EQ(Pixel(75, 45), kYellow);
  EXPECT_EQ(Pixel(10, 9), clRed);   // outside the region: as before
  EXPECT_EQ(Pixel(50, 45), clRed);
  EXPECT_EQ(form->Probe1->paints, 1);  // does not meet the region
  EXPECT_TRUE(form->InvalidRegion().IsEmpty());

  // A region touching a control repaints the control, clipped to the region.
  form->InvalidateRect(Rect(0, 0, 15, 15));
  application.ProcessMessages();
  EXPECT_EQ(form->Probe1->paints, 2);
  EXPECT_EQ(Pixel(12, 12), clBlue);
}

TEST_F(PaintCycleTest, NothingIsPaintedWhileNothingIsInvalid) {
  application.ProcessMessages();
  EXPECT_EQ(form->formPaints, 1);
  EXPECT_FALSE(form->PaintPending());
}

TEST_F(PaintCycleTest, FailingControlShowsOneBoxLeavesLaterControlsUnpaintedAndTheNextPaintTriesAgain) {
  form->paintColor = kYellow;
  form->Probe1->fail = [] { throw orvane::rtl::EInvalidGraphic("Bild kaputt"); };
  form->Invalidate();
  application.ProcessMessages();

  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  const auto& box = backend.MessageBoxes()[0];
  EXPECT_EQ(box.caption, application.Title());
  EXPECT_EQ(box.text, "Bild kaputt.");
  EXPECT_EQ(box.icon, orvane::backend::MessageIcon::Error);
  EXPECT_EQ(box.buttons, orvane::backend::MessageButtons::Ok);
  // The handler ran and was shown; the controls after the failing one were not painted.
  EXPECT_EQ(Pixel(15, 15), kYellow);
  EXPECT_EQ(Pixel(45, 15), kYellow);
  EXPECT_EQ(Pixel(55, 32), kYellow);
  EXPECT_EQ(form->Probe2->paints, 1);
  // The region counts as painted: no repeat until something invalidates again.
  EXPECT_TRUE(form->InvalidRegion().IsEmpty());
  application.ProcessMessages();
  EXPECT_EQ(backend.MessageBoxes().size(), 1u);

  // The next paint tries again, and fails again with one more box.
  form->Invalidate();
  application.ProcessMessages();
  EXPECT_EQ(backend.MessageBoxes().size(), 2u);
  EXPECT_EQ(form->Probe1->paints, 3);

  // Once the cause is gone, everything paints.
  form->Probe1->fail = nullptr;
  form->Invalidate();
  application.ProcessMessages();
  EXPECT_EQ(backend.MessageBoxes().size(), 2u);
  EXPECT_EQ(Pixel(15, 15), clBlue);
  EXPECT_EQ(Pixel(55, 32), kLime);
}

TEST_F(PaintCycleTest, FailingHandlerStopsThePaintBeforeTheControls) {
  form->OnPaint = [](TComponent*) { throw orvane::rtl::EFOpenError("Socer.EMF"); };
  form->Invalidate();
  application.ProcessMessages();
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].text, "Datei Socer.EMF kann nicht geöffnet werden.");
  EXPECT_EQ(form->Probe1->paints, 1);
  EXPECT_EQ(Pixel(15, 15), clWhite);  // erased, then nothing
}

TEST_F(PaintCycleTest, FullStopOnlyAfterCharactersSortingAfterTheDot) {
  std::string message;
  form->Probe1->fail = [&] { throw orvane::rtl::EInvalidOperation(message); };
  for (const char* text : {"Ende.", "Ende ", "Ende-", ""}) {
    message = text;
    form->Invalidate();
    application.ProcessMessages();
    ASSERT_FALSE(backend.MessageBoxes().empty());
    EXPECT_EQ(backend.MessageBoxes().back().text, message);
  }
  message = "Ende/";  // '/' sorts after '.'
  form->Invalidate();
  application.ProcessMessages();
  EXPECT_EQ(backend.MessageBoxes().back().text, "Ende/.");
}

TEST_F(PaintCycleTest, AbortShowsNothing) {
  form->Probe1->fail = [] { throw orvane::rtl::EAbort(); };
  form->Invalidate();
  application.ProcessMessages();
  EXPECT_TRUE(backend.MessageBoxes().empty());
  EXPECT_EQ(form->Probe1->paints, 2);
}

TEST_F(PaintCycleTest, InvisibleControlIsNotPainted) {
  form->Probe1->SetVisible(false);
  application.ProcessMessages();
  EXPECT_EQ(form->Probe1->paints, 1);
  EXPECT_EQ(Pixel(15, 15), clRed);
}

TEST_F(PaintCycleTest, SetBoundsDoesNothingWhenNothingChangesElseInvalidatesOldAndNew) {
  ASSERT_TRUE(form->InvalidRegion().IsEmpty());
  form->Probe1->SetBounds(10, 10, 20, 10);
  form->Probe1->SetWidth(20);
  EXPECT_TRUE(form->InvalidRegion().IsEmpty());

  form->Probe1->SetBounds(70, 40, 5, 5);
  const orvane::gdi::Region& r = form->InvalidRegion();
  EXPECT_TRUE(r.Contains(10, 10));
  EXPECT_TRUE(r.Contains(29, 19));
  EXPECT_TRUE(r.Contains(74, 44));
  EXPECT_FALSE(r.Contains(30, 10));
  EXPECT_FALSE(r.Contains(75, 44));
  EXPECT_FALSE(r.Contains(0, 0));
  application.ProcessMessages();
  EXPECT_EQ(Pixel(15, 15), clRed);
  EXPECT_EQ(Pixel(72, 42), clBlue);
}

TEST_F(PaintCycleTest, MouseEventsReachTheControlUnderThePointerInItsCoordinates) {
  // Bound by hand here; the reader test binds them from a definition.
  form->Probe1->OnClick = [this](TComponent* s) { form->ProbeClick(s); };
  form->Probe1->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int32_t x, int32_t y) {
    form->ProbeMouseDown(s, b, sh, x, y);
  };
  const auto id = form->Window()->Id();
  backend.Mouse(id, orvane::backend::Event::Kind::MouseDown, 15, 12);
  backend.Mouse(id, orvane::backend::Event::Kind::MouseUp, 16, 13);
  backend.Mouse(id, orvane::backend::Event::Kind::MouseDown, 15, 12);
  backend.Mouse(id, orvane::backend::Event::Kind::MouseUp, 90, 50);  // released elsewhere: no click
  application.ProcessMessages();
  EXPECT_EQ(form->log, (std::vector<std::string>{"down Probe1 5,2", "click Probe1", "down Probe1 5,2"}));
}

}  // namespace
