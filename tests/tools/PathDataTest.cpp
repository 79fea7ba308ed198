// The path-data parser: what a well-formed file turns into, and the line
// named by each kind of error.

#include <gtest/gtest.h>

#include "pictures/PathData.h"
#include <orvane/rtl/Exceptions.h>

using namespace orvanetools;

namespace {

// The message of the error parsing `text` raises, or "" when it parses.
std::string ErrorOf(const std::string& text) {
  try {
    ParsePathData(text);
  } catch (const orvane::rtl::EInvalidGraphic& e) {
    return e.Message();
  }
  return "";
}

void ExpectPoint(const PathPoint& p, double x, double y) {
  EXPECT_DOUBLE_EQ(p.x, x);
  EXPECT_DOUBLE_EQ(p.y, y);
}

TEST(PathDataTest, ReadsShapesCommandsColoursAndFillRules) {
  const PathPicture picture = ParsePathData(
      "# a test picture\r\n"
      "picture 224 287   # natural size\r\n"
      "\n"
      "shape #FF8001\r\n"
      "  M 1 2\r\n"
      "\tL -3.5 +4.25\r\n"
      "C .5 6. 7 8 9 10 # a curve\n"
      "Z\n"
      "M 20 20\n"
      "L 30 20\n"
      "shape #00a0Ff alternate\n"
      "M 0 0\n"
      "shape #000000 winding\nM 0 0");
  EXPECT_EQ(picture.width, 224);
  EXPECT_EQ(picture.height, 287);
  ASSERT_EQ(picture.shapes.size(), 3u);

  const PathShape& first = picture.shapes[0];
  EXPECT_EQ(first.rgb, 0x0180FFu);  // red in bits 0-7
  EXPECT_FALSE(first.alternate);
  ASSERT_EQ(first.commands.size(), 6u);
  EXPECT_EQ(first.commands[0].op, PathOp::Move);
  ExpectPoint(first.commands[0].points[0], 1, 2);
  EXPECT_EQ(first.commands[1].op, PathOp::Line);
  ExpectPoint(first.commands[1].points[0], -3.5, 4.25);
  EXPECT_EQ(first.commands[2].op, PathOp::Cubic);
  ExpectPoint(first.commands[2].points[0], 0.5, 6);
  ExpectPoint(first.commands[2].points[1], 7, 8);
  ExpectPoint(first.commands[2].points[2], 9, 10);
  EXPECT_EQ(first.commands[3].op, PathOp::Close);
  EXPECT_EQ(first.commands[4].op, PathOp::Move);  // a second subpath
  EXPECT_EQ(first.commands[5].op, PathOp::Line);

  EXPECT_EQ(picture.shapes[1].rgb, 0xFFA000u);
  EXPECT_TRUE(picture.shapes[1].alternate);
  EXPECT_EQ(picture.shapes[2].rgb, 0u);
  EXPECT_FALSE(picture.shapes[2].alternate);
}

TEST(PathDataTest, AcceptsTheCoordinateLimitsAndAPictureWithoutShapes) {
  const PathPicture picture = ParsePathData("picture 32767 1\nshape #010203\nM -32768 32767\nL 32767.0 -32768.0\n");
  EXPECT_EQ(picture.width, 32767);
  EXPECT_EQ(picture.height, 1);
  ExpectPoint(picture.shapes[0].commands[0].points[0], -32768, 32767);
  ExpectPoint(picture.shapes[0].commands[1].points[0], 32767, -32768);

  EXPECT_TRUE(ParsePathData("picture 5 6\n").shapes.empty());
}

// Each broken file, with the line and the detail its error must name.
struct BrokenCase {
  const char* text;
  const char* expected;
};

TEST(PathDataTest, ErrorsNameTheLineAndTheProblem) {
  const BrokenCase cases[] = {
      {"", "Zeile 1: Bildgröße fehlt"},
      {"# only a comment\n\n", "Zeile 2: Bildgröße fehlt"},
      {"shape #000000\npicture 1 1\n", "Zeile 1: Bildgröße fehlt"},
      {"picture 1 1\npicture 1 1\n", "Zeile 2: Bildgröße doppelt"},
      {"picture 0 5\n", "Zeile 1: ungültige Bildgröße"},
      {"picture 5 -1\n", "Zeile 1: ungültige Bildgröße"},
      {"picture 5.5 5\n", "Zeile 1: ungültige Bildgröße"},
      {"picture 32768 5\n", "Zeile 1: ungültige Bildgröße"},
      {"picture 99999999999 5\n", "Zeile 1: ungültige Bildgröße"},
      {"picture 5\n", "Zeile 1: falsche Anzahl"},
      {"picture 5 5 5\n", "Zeile 1: falsche Anzahl"},
      {"picture 5 5\nshape\n", "Zeile 2: falsche Anzahl"},
      {"picture 5 5\nshape #12345\n", "Zeile 2: ungültige Farbe"},
      {"picture 5 5\nshape #1234567\n", "Zeile 2: ungültige Farbe"},
      {"picture 5 5\nshape #12G456\n", "Zeile 2: ungültige Farbe"},
      {"picture 5 5\nshape 123456\n", "Zeile 2: ungültige Farbe"},
      {"picture 5 5\nshape #123456 evenodd\n", "Zeile 2: ungültige Füllregel"},
      {"picture 5 5\nshape #123456 winding extra\n", "Zeile 2: falsche Anzahl"},
      {"picture 5 5\nM 1 1\n", "Zeile 2: Befehl außerhalb einer Form"},
      {"picture 5 5\nshape #000000\nL 1 1\n", "Zeile 3: kein offener Teilpfad"},
      {"picture 5 5\nshape #000000\nZ\n", "Zeile 3: kein offener Teilpfad"},
      {"picture 5 5\nshape #000000\nM 0 0\nZ\nL 1 1\n", "Zeile 5: kein offener Teilpfad"},
      {"picture 5 5\nshape #000000\nM 0 0\nshape #FFFFFF\nC 1 1 2 2 3 3\n", "Zeile 5: kein offener Teilpfad"},
      {"picture 5 5\nshape #000000\nM 0 0\nQ 1 1 2 2\n", "Zeile 4: unbekannter Befehl"},
      {"picture 5 5\nshape #000000\nm 0 0\n", "Zeile 3: unbekannter Befehl"},
      {"picture 5 5\nshape #000000\nM 0\n", "Zeile 3: falsche Anzahl"},
      {"picture 5 5\nshape #000000\nM 0 0\nC 1 1 2 2 3\n", "Zeile 4: falsche Anzahl"},
      {"picture 5 5\nshape #000000\nM 0 0\nZ 1\n", "Zeile 4: falsche Anzahl"},
      {"picture 5 5\nshape #000000\nM 0 0\nL 1 1 1 1\n", "Zeile 4: falsche Anzahl"},
      {"picture 5 5\nshape #000000\nshape #FFFFFF\nM 0 0\n", "Zeile 2: Form ohne Pfad"},
      {"picture 5 5\nshape #000000\nM 0 0\nshape #FFFFFF\n# end\n", "Zeile 4: Form ohne Pfad"},
  };
  for (const BrokenCase& c : cases) {
    const std::string message = ErrorOf(c.text);
    EXPECT_NE(message.find(c.expected), std::string::npos) << "input:\n" << c.text << "\nmessage: " << message;
    EXPECT_EQ(message.rfind("Pfaddaten, Zeile ", 0), 0u) << message;
  }
}

TEST(PathDataTest, NumbersArePlainDecimalsWithinSixteenBits) {
  for (const char* bad : {"1e3", "nan", "inf", "-inf", "0x10", "1.2.3", "-", "+", ".", "--1", "1-", "1,5", "½"}) {
    const std::string message = ErrorOf(std::string("picture 5 5\nshape #000000\nM 0 ") + bad + "\n");
    EXPECT_NE(message.find("Zeile 3: ungültige Zahl"), std::string::npos) << bad << ": " << message;
  }
  for (const char* far : {"32767.5", "-32768.01", "40000", "123456789012345678901234567890"}) {
    const std::string message = ErrorOf(std::string("picture 5 5\nshape #000000\nM 0 ") + far + "\n");
    EXPECT_NE(message.find("Zeile 3: Zahl außerhalb"), std::string::npos) << far << ": " << message;
  }
}

TEST(PathDataTest, SurvivesBinaryGarbage) {
  std::string text = "picture 5 5\nshape #000000\nM 0 0";
  text.push_back('\0');
  text += "\nL 1 1\n";
  EXPECT_NE(ErrorOf(text).find("Zeile 3: ungültige Zahl"), std::string::npos);
  EXPECT_NE(ErrorOf(std::string("\xff\xfe\x00p", 4)).find("Zeile 1"), std::string::npos);
  EXPECT_EQ(ErrorOf(std::string("picture 5 5\n\n\n\n# \xff\xfe\n")), "");
}

}  // namespace
