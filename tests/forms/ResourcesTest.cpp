// Resources embedded by the build (orvane_add_resources in tests/CMakeLists.txt).

#include "FormsTestHelpers.h"

using namespace formstest;
using namespace orvane::vcl;

namespace {

class TEmbeddedForm : public TForm {
 public:
  explicit TEmbeddedForm(TComponent* owner) : TForm(owner) {}
  const char* ClassName() const override { return "TEmbeddedForm"; }
  TProbe* Probe1 = nullptr;
};

TEST(ResourcesTest, EmbeddedBinaryHoldsTheFilesBytes) {
  const Resource* r = FindResource("embeddedbytes", ResourceKind::Binary);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->size, 300u);
  for (size_t i = 0; i < r->size; ++i) ASSERT_EQ(r->data[i], i % 256) << i;
  EXPECT_EQ(FindResource("EmbeddedBytes", ResourceKind::FormDefinition), nullptr);
  EXPECT_EQ(ErrorText([] { GetResource("Missing", ResourceKind::Binary); }),
            "EResNotFound: Ressource Missing wurde nicht gefunden");
}

TEST_F(FormsTest, FormIsBuiltFromItsEmbeddedDefinitionNamedInCapitals) {
  auto& c = ClassRegistry::Instance().Register<TEmbeddedForm>("TEmbeddedForm", "TForm");
  AddField(c, "Probe1", &TEmbeddedForm::Probe1);
  ASSERT_NE(FindResource("TEMBEDDEDFORM", ResourceKind::FormDefinition), nullptr);
  TEmbeddedForm* form = nullptr;
  application.CreateForm(form);
  ASSERT_NE(form->Probe1, nullptr);
  EXPECT_EQ(form->Caption(), "Eingebettet");
  form->Show();
  application.ProcessMessages();
  EXPECT_EQ(WindowOf(*form).Pixel(15, 15), clBlue);
  EXPECT_EQ(WindowOf(*form).Pixel(5, 5), clWhite);
}

}  // namespace
