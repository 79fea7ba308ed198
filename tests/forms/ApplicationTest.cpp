// The application object (title, CreateForm, Run and closing), component
// ownership, alignment on resize, and the last-chance handler.

#include "FormsTestHelpers.h"
#include <orvane/forms/LastChance.h>

#include <new>

using namespace formstest;
using namespace orvane::vcl;

namespace {

TEST(TitleTest, FileNameWithoutFolderCutAtFirstDotFirstCharacterKept) {
  EXPECT_EQ(TApplication::TitleFromExeName("/usr/bin/DemoOrvanePicture"), "Demoorvanepicture");
  EXPECT_EQ(TApplication::TitleFromExeName("/opt/x.y/PROJECT1.EXE"), "Project1");
  EXPECT_EQ(TApplication::TitleFromExeName("C:\\Apps\\DEMO.tar.gz"), "Demo");
  EXPECT_EQ(TApplication::TitleFromExeName("demo"), "demo");
  EXPECT_EQ(TApplication::TitleFromExeName("/bin/.hidden"), "");
  EXPECT_EQ(TApplication::TitleFromExeName("ÜBERSICHT.bin"), "Übersicht");
  EXPECT_EQ(TApplication::TitleFromExeName("aÄÖ×"), "aäö×");
}

TEST(TitleTest, ApplicationTakesItsTitleFromThisExecutable) {
  orvane::backend::HeadlessBackend backend;
  TApplication application(backend);
  EXPECT_EQ(application.Title(), "forms_tests");  // the first character keeps its case
  EXPECT_EQ(Application, &application);
}

class Tracked : public TComponent {
 public:
  Tracked(TComponent* owner, std::vector<std::string>& log) : TComponent(owner), log_(log) {}
  ~Tracked() override { log_.push_back(Name()); }

 private:
  std::vector<std::string>& log_;
};

TEST(ComponentTest, OwnerDestroysOwnedComponentsLastFirstAndFindsThemByName) {
  std::vector<std::string> log;
  auto* owner = new Tracked(nullptr, log);
  owner->SetName("Owner");
  for (const char* name : {"A", "B", "C"}) (new Tracked(owner, log))->SetName(name);
  auto* b = owner->FindComponent("b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Name(), "B");
  EXPECT_EQ(owner->FindComponent("D"), nullptr);
  delete b;  // leaves the owner's list
  EXPECT_EQ(owner->ComponentCount(), 2);
  delete owner;
  // The owner's own destructor body runs first, then the owned ones go, last first.
  EXPECT_EQ(log, (std::vector<std::string>{"B", "Owner", "C", "A"}));
}

TEST_F(FormsTest, FormClientAreaIsOuterSizeLessFrameAndCaption) {
  TForm* form = nullptr;
  application.CreateForm(form);
  form->SetBounds(18, 17, 608, 429);
  EXPECT_EQ(form->ClientWidth(), 600);
  EXPECT_EQ(form->ClientHeight(), 402);
  EXPECT_EQ(form->ClientRect(), Rect(0, 0, 600, 402));
  form->SetClientWidth(100);
  EXPECT_EQ(form->Width(), 108);
}

TEST_F(FormsTest, ScreenCentredFormOpensInTheMiddle) {
  TForm* form = nullptr;
  application.CreateForm(form);
  form->SetBounds(18, 17, 608, 429);
  form->SetPosition(poScreenCenter);
  // The main form's window exists at once; a second form gets its window on Show.
  TForm* second = new TForm(&application);
  second->SetBounds(18, 17, 608, 429);
  second->SetPosition(poScreenCenter);
  second->Show();
  auto& w = WindowOf(*second);
  EXPECT_EQ(w.Left(), (1024 - 608) / 2);
  EXPECT_EQ(w.Top(), (768 - 429) / 2);
  EXPECT_EQ(w.ClientWidth(), 600);
  EXPECT_EQ(w.ClientHeight(), 402);
}

class TSpyForm : public TForm {
 public:
  static TSpyForm* reference;
  static TSpyForm* seenInConstructor;
  explicit TSpyForm(TComponent* owner) : TForm(owner) { seenInConstructor = reference; }
  const char* ClassName() const override { return "TSpyForm"; }
};
TSpyForm* TSpyForm::reference = nullptr;
TSpyForm* TSpyForm::seenInConstructor = nullptr;

TEST_F(FormsTest, CreateFormSetsTheReferenceBeforeConstructionAndClearsItOnFailure) {
  ClassRegistry::Instance().Register<TSpyForm>("TSpyForm", "TForm");
  // No definition registered for TSpyForm: construction fails.
  EXPECT_EQ(ErrorText([&] { application.CreateForm(TSpyForm::reference); }),
            "EResNotFound: Ressource TSpyForm wurde nicht gefunden");
  EXPECT_NE(TSpyForm::seenInConstructor, nullptr);
  EXPECT_EQ(TSpyForm::reference, nullptr);
  EXPECT_EQ(application.MainForm(), nullptr);
  EXPECT_EQ(application.ComponentCount(), 0);

  AddResource("TSPYFORM", ResourceKind::FormDefinition, "object SpyForm: TSpyForm\nend\n");
  application.CreateForm(TSpyForm::reference);
  EXPECT_EQ(TSpyForm::seenInConstructor, TSpyForm::reference);
  EXPECT_EQ(application.MainForm(), TSpyForm::reference);
  EXPECT_EQ(TSpyForm::reference->Name(), "SpyForm");
  orvane::vcl::UnregisterResource("TSPYFORM", ResourceKind::FormDefinition);
}

TEST_F(FormsTest, RunShowsTheMainFormAndEndsWhenItCloses) {
  TForm* main = nullptr;
  TForm* other = nullptr;
  application.CreateForm(main);
  application.CreateForm(other);
  EXPECT_EQ(application.MainForm(), main);
  ASSERT_NE(main->Window(), nullptr);
  EXPECT_FALSE(WindowOf(*main).Visible());
  int paints = 0;
  main->OnPaint = [&](TComponent*) { ++paints; };
  backend.RequestClose(main->Window()->Id());
  application.Run();
  EXPECT_TRUE(application.Terminated());
  EXPECT_FALSE(main->Visible());
  EXPECT_FALSE(WindowOf(*main).Visible());
  EXPECT_EQ(paints, 0);  // the close came before the first paint
}

TEST_F(FormsTest, RunPaintsWhenNoOtherMessageWaitsAndEndsOnTerminate) {
  TForm* main = nullptr;
  application.CreateForm(main);
  int paints = 0;
  main->OnPaint = [&](TComponent*) {
    ++paints;
    application.Terminate();
  };
  application.Run();
  EXPECT_EQ(paints, 1);
  EXPECT_TRUE(application.Terminated());
}

TEST_F(FormsTest, ClosingAnotherFormOnlyHidesIt) {
  TForm* main = nullptr;
  TForm* other = nullptr;
  application.CreateForm(main);
  application.CreateForm(other);
  other->Show();
  bool asked = false;
  other->OnCloseQuery = [&](TComponent*, bool& canClose) {
    asked = true;
    canClose = true;
  };
  backend.RequestClose(other->Window()->Id());
  application.ProcessMessages();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(application.Terminated());
}

TEST_F(FormsTest, TopAlignedControlFollowsTheClientWidthOnResize) {
  TForm* form = nullptr;
  application.CreateForm(form);
  form->SetClientWidth(200);
  form->SetClientHeight(100);
  form->SetColor(clWhite);
  auto* top = new TProbe(form);
  top->color = clBlue;
  top->SetBounds(5, 50, 30, 12);
  top->SetParent(form);
  auto* fixed = new TProbe(form);
  fixed->color = clRed;
  fixed->SetBounds(150, 70, 10, 10);
  fixed->SetParent(form);
  top->SetAlign(alTop);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 12));
  form->Show();
  application.ProcessMessages();

  backend.ResizeWindow(form->Window()->Id(), 320, 90);
  application.ProcessMessages();
  EXPECT_EQ(form->ClientWidth(), 320);
  EXPECT_EQ(form->Width(), 328);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 320, 12));
  EXPECT_EQ(fixed->BoundsRect(), Rect(150, 70, 160, 80));  // nothing else moves
  auto& w = WindowOf(*form);
  EXPECT_EQ(w.Pixel(310, 5), clBlue);
  EXPECT_EQ(w.Pixel(310, 12), clWhite);
  EXPECT_EQ(w.Pixel(155, 75), clRed);

  backend.ResizeWindow(form->Window()->Id(), 120, 90);
  application.ProcessMessages();
  EXPECT_EQ(top->Width(), 120);
  EXPECT_EQ(w.Pixel(119, 5), clBlue);
}

// Controls 2^30 - 1 high (or wide) stacked by their alignment: the edge they
// stack from stops at the end of the 32-bit range instead of overflowing.
TEST_F(FormsTest, StackedAlignmentStopsAtTheEndOfThe32BitRange) {
  constexpr int32_t kBig = (1 << 30) - 1;
  for (const TAlign align : {alTop, alLeft}) {
    TForm* form = nullptr;
    application.CreateForm(form);
    std::vector<int32_t> edges;
    std::vector<TProbe*> probes;
    for (int i = 0; i < 4; ++i) {
      auto* probe = new TProbe(form);
      probe->SetBounds(0, 0, kBig, kBig);
      probe->SetParent(form);
      probe->SetAlign(align);
      probes.push_back(probe);
    }
    for (TProbe* probe : probes) edges.push_back(align == alTop ? probe->Top() : probe->Left());
    EXPECT_EQ(edges, (std::vector<int32_t>{0, kBig, 2 * kBig, INT32_MAX})) << align;
    delete form;
  }
}

TEST(LastChanceTest, ShowsTheApplicationErrorBoxAndReturnsOne) {
  orvane::backend::HeadlessBackend backend;
  const int code = HandleLastChance(std::make_exception_ptr(orvane::rtl::EResNotFound("TForm1")), backend);
  EXPECT_EQ(code, 1);
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  const auto& box = backend.MessageBoxes()[0];
  EXPECT_EQ(box.caption, "Anwendungsfehler");
  EXPECT_EQ(box.icon, orvane::backend::MessageIcon::Error);
  EXPECT_EQ(box.text.rfind("Exception EResNotFound in Modul forms_tests bei ", 0), 0u) << box.text;
  const std::string tail = ".\nRessource TForm1 wurde nicht gefunden.";
  ASSERT_GE(box.text.size(), tail.size());
  EXPECT_EQ(box.text.substr(box.text.size() - tail.size()), tail);
}

// An allocation failure reaches the user as the runtime's out-of-memory error.
TEST_F(FormsTest, AllocationFailuresAreShownAsOutOfMemory) {
  application.HandleException(std::make_exception_ptr(std::bad_alloc()));
  HandleLastChance(std::make_exception_ptr(std::bad_alloc()), backend);
  ASSERT_EQ(backend.MessageBoxes().size(), 2u);
  EXPECT_EQ(backend.MessageBoxes()[0].text, "Zu wenig Arbeitsspeicher.");
  const std::string& last = backend.MessageBoxes()[1].text;
  EXPECT_EQ(last.rfind("Exception EOutOfMemory in Modul ", 0), 0u) << last;
  EXPECT_EQ(last.substr(last.find('\n')), "\nZu wenig Arbeitsspeicher.");
}

TEST(LastChanceTest, FullStopOnlyWhenTheMessageDoesNotEndInOne) {
  const int anchor = 0;
  const std::string prefix = "Exception EAbort in Modul demo bei ";
  EXPECT_EQ(LastChanceText("EAbort", "demo", &anchor, "Fertig.").substr(prefix.size() + 16),
            ".\nFertig.");
  EXPECT_EQ(LastChanceText("EAbort", "demo", &anchor, "Fertig ").substr(prefix.size() + 16), ".\nFertig .");
  EXPECT_EQ(LastChanceText("EAbort", "demo", nullptr, ""), prefix + "0000000000000000.\n.");
}

}  // namespace
