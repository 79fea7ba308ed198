// The form-definition reader: the order in which properties are applied,
// values of every kind, handler binding, scaling, and the errors it reports.

#include "FormsTestHelpers.h"
#include <orvane/forms/FormReader.h>
#include <orvane/gdi/FontEngine.h>

using namespace formstest;
using namespace orvane::vcl;

namespace {

class FormReaderTest : public FormsTest {
 protected:
  FormReaderTest() { RecorderLog().clear(); }
  // Reads `text` into a fresh TTestForm (no resource involved).
  TTestForm& Read(const std::string& text) {
    form = new TTestForm(&application);
    ReadFormDefinition(text, *form);
    return *form;
  }
  std::string ReadError(const std::string& text) {
    return ErrorText([&] { Read(text); });
  }
  TTestForm* form = nullptr;
};

TEST_F(FormReaderTest, PropertiesAreAppliedInStoredOrder) {
  Read(R"(object F: TTestForm
  object R1: TRecorder
    Third = 3
    First = 'one'
    Second = two
    First = [a, b]
    Tag = 7
  end
  object R2: TRecorder
    Second = -12
  end
end)");
  EXPECT_EQ(RecorderLog(), (std::vector<std::string>{"R1.Third=3", "R1.First='one'", "R1.Second=two",
                                                     "R1.First=[a,b]", "R2.Second=-12"}));
  EXPECT_EQ(form->FindComponent("R1")->Tag(), 7);
}

TEST_F(FormReaderTest, ValuesOfEveryKind) {
  Read(R"(object F: TTestForm
  Caption = 'It''s ' + #65#$263A +
    ' two lines'   // a comment
  Color = $00FF80
  object R: TRecorder
    First = ''
    Second = #9
    Third = []
    First = $7FFFFFFFFFFF
  end
end)");
  EXPECT_EQ(form->Caption(), "It's A\xE2\x98\xBA two lines");
  EXPECT_EQ(form->Color(), 0x00FF80);
  EXPECT_EQ(RecorderLog(),
            (std::vector<std::string>{"R.First=''", "R.Second='\t'", "R.Third=[]", "R.First=140737488355327"}));
}

TEST_F(FormReaderTest, SetterOrderIsFileOrderForStockControls) {
  // Width before Align: the alTop label then takes the client width regardless.
  Read(R"(object F: TTestForm
  Width = 208
  Height = 127
  object P: TProbe
    Width = 30
    Left = 40
    Align = alTop
    Height = 15
  end
end)");
  auto* p = static_cast<TProbe*>(form->FindComponent("P"));
  EXPECT_EQ(p->BoundsRect(), Rect(0, 0, 200, 15));
  Read(R"(object F: TTestForm
  object P: TProbe
    Align = alTop
    Visible = False
    Left = 40
  end
end)");
  EXPECT_FALSE(static_cast<TProbe*>(form->FindComponent("P"))->Visible());
}

TEST_F(FormReaderTest, FontSubPropertiesClearParentFont) {
  Read(R"(object F: TTestForm
  Font.Name = 'Arial'
  Font.Height = -13
  object P1: TProbe
  end
  object P2: TProbe
    Font.Style = [fsBold, fsUnderline]
    Font.Height = -17
    Font.Color = clRed
    Font.Charset = DEFAULT_CHARSET
  end
end)");
  auto* p1 = static_cast<TProbe*>(form->FindComponent("P1"));
  auto* p2 = static_cast<TProbe*>(form->FindComponent("P2"));
  EXPECT_TRUE(p1->ParentFont());
  EXPECT_EQ(p1->Font().Name(), "Arial");
  EXPECT_EQ(p1->Font().Height(), -13);
  EXPECT_FALSE(p2->ParentFont());
  EXPECT_EQ(p2->Font().Name(), "Arial");  // taken from the parent before it changed
  EXPECT_EQ(p2->Font().Height(), -17);
  EXPECT_EQ(p2->Font().Style(), fsBold | fsUnderline);
  EXPECT_EQ(p2->Font().Color(), clRed);
  // A later change of the form's font reaches only the child that follows it.
  TFont font = form->Font();
  font.SetHeight(-20);
  form->SetFont(font);
  EXPECT_EQ(p1->Font().Height(), -20);
  EXPECT_EQ(p2->Font().Height(), -17);
}

TEST_F(FormReaderTest, HandlersAreBoundToTheFormsMethods) {
  Read(R"(object F: TTestForm
  Width = 108
  Height = 87
  object Probe1: TProbe
    Left = 10
    Top = 10
    Width = 20
    Height = 10
    OnClick = ProbeClick
    OnMouseDown = probemousedown
  end
end)");
  form->Show();
  const auto id = form->Window()->Id();
  backend.Mouse(id, orvane::backend::Event::Kind::MouseDown, 12, 19);
  backend.Mouse(id, orvane::backend::Event::Kind::MouseUp, 12, 19);
  application.ProcessMessages();
  EXPECT_EQ(form->log, (std::vector<std::string>{"down Probe1 2,9", "click Probe1"}));
  EXPECT_EQ(form->Probe1, form->FindComponent("Probe1"));
}

TEST_F(FormReaderTest, ErrorsNameTheLine) {
  const std::string prefix = "EFormDefinitionError: Fehler in Formulardefinition, Zeile ";
  EXPECT_EQ(ReadError("object F: TTestForm\n  object X: TNoSuchClass\n  end\nend"),
            prefix + "2: Klasse TNoSuchClass nicht gefunden");
  EXPECT_EQ(ReadError("object F: TTestForm\n\n  Colour = clRed\nend"),
            prefix + "3: Eigenschaft Colour existiert nicht");
  EXPECT_EQ(ReadError("object F: TTestForm\n  object P: TProbe\n    Visible = 5\n  end\nend"),
            prefix + "3: Ungültiger Wert für Eigenschaft Visible");
  EXPECT_EQ(ReadError("object F: TTestForm\n  object P: TProbe\n    Align = alMiddle\n  end\nend"),
            prefix + "3: Ungültiger Wert für Eigenschaft Align");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Font.Style = [fsBold, fsHeavy]\nend"),
            prefix + "2: Ungültiger Wert für Eigenschaft Font.Style");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Width = 99999999999\nend"),
            prefix + "2: Ungültiger Wert für Eigenschaft Width");
  EXPECT_EQ(ReadError("object F: TTestForm\n  object P: TProbe\n    Left = 1\n"),
            prefix + "3: Unerwartetes Ende der Formulardefinition");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Caption = 'abc\nend"),
            prefix + "2: Zeichenkette nicht abgeschlossen");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Caption = 'abc' + \n  42\nend"),
            prefix + "3: Ungültige Zeichenkette");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Caption = #\nend"), prefix + "2: Ungültige Zeichenkette");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Caption = #1114112\nend"), prefix + "2: Ungültige Zeichenkette");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Caption = #55296\nend"), prefix + "2: Ungültige Zeichenkette");
  EXPECT_EQ(ReadError("object F: TTestForm\n  OnPaint = NoSuchMethod\nend"),
            prefix + "2: Methode NoSuchMethod nicht gefunden");
  EXPECT_EQ(ReadError("object F: TTestForm\n  OnPaint = ProbeMouseDown\nend"),
            prefix + "2: Ungültiger Wert für Eigenschaft OnPaint");
  EXPECT_EQ(ReadError("object F: TForm\nend"), prefix + "1: Formular der Klasse TTestForm erwartet");
  EXPECT_EQ(ReadError("object F: TTestForm\n  object A: TProbe\n  end\n  object A: TProbe\n  end\nend"),
            prefix + "4: Eine Komponente mit der Bezeichnung A existiert bereits");
  EXPECT_EQ(ReadError("object F: TTestForm\n  object Ab: TProbe\n  end\n  object aB: TProbe\n  end\nend"),
            prefix + "4: Eine Komponente mit der Bezeichnung aB existiert bereits");
  EXPECT_EQ(ReadError("object F: TTestForm\n  object P: TProbe\n    object Q: TProbe\n    end\n  end\nend"),
            prefix + "3: P kann keine Komponenten enthalten");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Left = \n]\nend"), prefix + "3: Wert erwartet");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Left 5\nend"), prefix + "2: = erwartet");
  EXPECT_EQ(ReadError("object F: TTestForm\nend\nend"), prefix + "3: Dateiende erwartet");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Left = -x\nend"), prefix + "2: Zahl erwartet");
  EXPECT_EQ(ReadError("object F: TTestForm\n  object Probe1: TRecorder\n  end\nend"),
            prefix + "2: Ungültiger Typ für Feld Probe1");
  EXPECT_EQ(ReadError(""), prefix + "1: Unerwartetes Ende der Formulardefinition");
  EXPECT_EQ(ReadError("object F: TTestForm\n  Picture.Data = resource 'Nowhere'\nend"),
            prefix + "2: Eigenschaft Picture.Data existiert nicht");
  EXPECT_EQ(ReadError("object F: TTestForm\n  object I: TImage\n    Picture.Data = resource 'Nowhere'\n  end\nend"),
            "EResNotFound: Ressource Nowhere wurde nicht gefunden");
}

TEST_F(FormReaderTest, DeepNestingIsRefused) {
  std::string text;
  text = "object F: TTestForm\n";
  for (int i = 0; i < 100; ++i) text += "object B" + std::to_string(i) + ": TBox\n";
  EXPECT_NE(ReadError(text).find("Zeile 34: Zu tief verschachtelt"), std::string::npos) << ReadError(text);
  // Within the limit, boxes nest: each is the parent of the next.
  Read("object F: TTestForm\nobject B1: TBox\nobject B2: TBox\nobject P: TProbe\nend\nend\nend\nend");
  auto* p = static_cast<TControl*>(form->FindComponent("P"));
  EXPECT_EQ(p->Parent(), form->FindComponent("B2"));
  EXPECT_EQ(p->Owner(), form);
}

TEST_F(FormReaderTest, ControlsScaleByTheRatioOfTextHeightsAndTheFormKeepsItsSize) {
  const int32_t measured = orvane::gdi::GetTextMetrics(TFont().ToGdi()).height;
  ASSERT_GT(measured, 0);
  // Stored at twice the height measured here: everything halves.
  Read("object F: TTestForm\n  Width = 408\n  Height = 327\n  object P: TProbe\n    Left = 100\n    Top = 41\n"
       "    Width = 31\n    Height = 20\n    Font.Height = -20\n  end\n  object Q: TProbe\n    Left = 10\n  end\n"
       "  TextHeight = " + std::to_string(2 * measured) + "\nend");
  auto* p = static_cast<TProbe*>(form->FindComponent("P"));
  auto* q = static_cast<TProbe*>(form->FindComponent("Q"));
  // 41 / 2 = 20.5 and 31 / 2 = 15.5 round away from zero.
  EXPECT_EQ(p->BoundsRect(), Bounds(50, 21, 16, 10));
  EXPECT_EQ(p->Font().Height(), -10);
  EXPECT_EQ(q->Left(), 5);
  EXPECT_TRUE(q->ParentFont());
  EXPECT_EQ(q->Font().Height(), TFont().Height());
  EXPECT_EQ(form->Width(), 408);
  EXPECT_EQ(form->Height(), 327);

  // Stored at the measured height: nothing moves.
  Read("object F: TTestForm\n  object P: TProbe\n    Left = 100\n  end\n  TextHeight = " + std::to_string(measured) +
       "\nend");
  EXPECT_EQ(static_cast<TProbe*>(form->FindComponent("P"))->Left(), 100);

  // Scaled up from the largest stored coordinates, a control stays within
  // them, so its right and bottom edges are still 32-bit numbers.
  constexpr int32_t kMax = (1 << 30) - 1;
  Read("object F: TTestForm\n  object P: TProbe\n    Left = " + std::to_string(kMax) + "\n    Top = -" +
       std::to_string(kMax) + "\n    Width = " + std::to_string(kMax) + "\n    Height = 3\n  end\n  TextHeight = 1\nend");
  auto* big = static_cast<TProbe*>(form->FindComponent("P"));
  EXPECT_EQ(big->Left(), kMax);
  EXPECT_EQ(big->Top(), -kMax);
  EXPECT_EQ(big->Width(), kMax);
  EXPECT_EQ(big->BoundsRect().right, 2 * kMax);
  EXPECT_EQ(big->Height(), 3 * measured);
}

}  // namespace
