#include <gtest/gtest.h>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

using namespace orvane::rtl;

TEST(InOutErrorTest, CodesCarryTheRuntimeTexts) {
  const std::pair<int, const char*> table[] = {
      {2, "Datei nicht gefunden"},          {3, "Ungültiger Dateiname"},
      {4, "Zu viele geöffnete Dateien"},    {5, "Dateizugriff verweigert"},
      {100, "Versuch hinter dem Dateiende zu lesen"}, {101, "Zu wenig Speicherplatz"},
      {106, "Ungültige numerische Eingabe"}, {32, "E/A-Fehler 32"},
      {1, "E/A-Fehler 1"}};
  for (auto [code, text] : table) {
    EInOutError e(code);
    EXPECT_EQ(e.ErrorCode(), code);
    EXPECT_EQ(e.Message(), text) << "code " << code;
    EXPECT_STREQ(e.ClassName(), "EInOutError");
  }
}

TEST(ExceptionTextsTest, FormattedAndFixedTexts) {
  EXPECT_EQ(EFOpenError("Socer.EMF").Message(), "Datei Socer.EMF kann nicht geöffnet werden");
  EXPECT_EQ(EResNotFound("TForm1").Message(), "Ressource TForm1 wurde nicht gefunden");
  EXPECT_EQ(EOutOfMemory().Message(), "Zu wenig Arbeitsspeicher");
  EXPECT_EQ(EZeroDivide().Message(), "Gleitkommadivision durch Null");
  EXPECT_EQ(EInvalidOp().Message(), "Ungültige Gleitkommaoperation");
  EXPECT_EQ(EReadError().Message(), "Stream-Lesefehler");
  EXPECT_EQ(EOutOfResources().Message(), "Systemressourcen erschöpft.");
  EXPECT_EQ(EOutOfResources("").Message(), "Systemressourcen erschöpft.");
  EXPECT_EQ(EOutOfResources("Kein Speicher").Message(), "Kein Speicher");
  EXPECT_EQ(msg::FormatS(msg::UnknownExtensionFmt, "xyz"), "Unbekannte Bilddateierweiterung (.xyz)");
}

TEST(ExceptionTextsTest, ClassHierarchyLetsCallersCatchByFamily) {
  try {
    throw EZeroDivide();
  } catch (const EMathError& e) {
    EXPECT_STREQ(e.ClassName(), "EZeroDivide");
  }
  try {
    throw EFOpenError("x");
  } catch (const EStreamError& e) {
    EXPECT_STREQ(e.ClassName(), "EFOpenError");
  }
}

TEST(WithFullStopTest, AddsAStopOnlyAfterCharactersSortingAfterTheDot) {
  EXPECT_EQ(WithFullStop("Datei nicht gefunden"), "Datei nicht gefunden.");
  EXPECT_EQ(WithFullStop("Systemressourcen erschöpft."), "Systemressourcen erschöpft.");
  EXPECT_EQ(WithFullStop("Fehler!"), "Fehler!");  // '!' sorts before '.'
  EXPECT_EQ(WithFullStop("Wert 5"), "Wert 5.");
  EXPECT_EQ(WithFullStop(""), "");
}
