#include "pictures/PathData.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvanetools {

namespace {

constexpr double kMinCoordinate = -32768;
constexpr double kMaxCoordinate = 32767;
constexpr int kMaxSize = 32767;

[[noreturn]] void Fail(size_t line, const char* detail) {
  const std::string text = orvane::rtl::msg::FormatS(orvane::rtl::msg::PathDataLineFmt, std::to_string(line));
  throw orvane::rtl::EInvalidGraphic(orvane::rtl::msg::FormatS(text.c_str(), detail));
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// The whitespace-separated tokens of one line, up to a comment. The token
// after "shape" is its colour and may start with '#'.
std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i == line.size()) break;
    size_t end = i;
    while (end < line.size() && !IsSpace(line[end])) ++end;
    const std::string_view token = line.substr(i, end - i);
    const bool isColour = tokens.size() == 1 && tokens[0] == "shape";
    if (token[0] == '#' && !isColour) break;
    tokens.push_back(token);
    i = end;
  }
  return tokens;
}

// A plain decimal: optional sign, digits, optional fraction; at least one digit.
double Number(std::string_view token, size_t line) {
  size_t i = 0;
  if (i < token.size() && (token[i] == '-' || token[i] == '+')) ++i;
  size_t digits = 0;
  bool point = false;
  for (; i < token.size(); ++i) {
    const char c = token[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      Fail(line, orvane::rtl::msg::PathBadNumber);
    }
  }
  if (digits == 0) Fail(line, orvane::rtl::msg::PathBadNumber);
  // from_chars rejects a leading '+'.
  const std::string_view body = token[0] == '+' ? token.substr(1) : token;
  double value = 0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), value);
  if (result.ec != std::errc() || result.ptr != body.data() + body.size()) Fail(line, orvane::rtl::msg::PathBadNumber);
  if (!std::isfinite(value) || value < kMinCoordinate || value > kMaxCoordinate) {
    Fail(line, orvane::rtl::msg::PathNumberRange);
  }
  return value;
}

int Size(std::string_view token, size_t line) {
  int value = 0;
  const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
  if (result.ec != std::errc() || result.ptr != token.data() + token.size() || value < 1 || value > kMaxSize) {
    Fail(line, orvane::rtl::msg::PathBadSize);
  }
  return value;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#RRGGBB" as a colour value with red in bits 0-7.
uint32_t Colour(std::string_view token, size_t line) {
  if (token.size() != 7 || token[0] != '#') Fail(line, orvane::rtl::msg::PathBadColor);
  uint32_t channels[3] = {};
  for (int c = 0; c < 3; ++c) {
    const int high = HexDigit(token[1 + 2 * c]);
    const int low = HexDigit(token[2 + 2 * c]);
    if (high < 0 || low < 0) Fail(line, orvane::rtl::msg::PathBadColor);
    channels[c] = static_cast<uint32_t>(high * 16 + low);
  }
  return channels[0] | (channels[1] << 8) | (channels[2] << 16);
}

class Parser {
 public:
  void Line(std::string_view text, size_t line) {
    const std::vector<std::string_view> t = Tokens(text);
    if (t.empty()) return;
    const std::string_view word = t[0];
    if (word == "picture") {
      if (havePicture_) Fail(line, orvane::rtl::msg::PathPictureTwice);
      Expect(t, 3, line);
      picture_.width = Size(t[1], line);
      picture_.height = Size(t[2], line);
      havePicture_ = true;
      return;
    }
    if (!havePicture_) Fail(line, orvane::rtl::msg::PathNoPicture);
    if (word == "shape") {
      if (t.size() != 2 && t.size() != 3) Fail(line, orvane::rtl::msg::PathValueCount);
      FinishShape();
      PathShape shape;
      shape.rgb = Colour(t[1], line);
      if (t.size() == 3) {
        if (t[2] == "alternate") {
          shape.alternate = true;
        } else if (t[2] != "winding") {
          Fail(line, orvane::rtl::msg::PathBadFillMode);
        }
      }
      picture_.shapes.push_back(std::move(shape));
      shapeOpen_ = true;
      shapeLine_ = line;
      subpathOpen_ = false;
      return;
    }
    PathCommand command;
    size_t points = 0;
    if (word == "M") {
      command.op = PathOp::Move;
      points = 1;
    } else if (word == "L") {
      command.op = PathOp::Line;
      points = 1;
    } else if (word == "C") {
      command.op = PathOp::Cubic;
      points = 3;
    } else if (word == "Z") {
      command.op = PathOp::Close;
    } else {
      Fail(line, orvane::rtl::msg::PathUnknownCommand);
    }
    if (!shapeOpen_) Fail(line, orvane::rtl::msg::PathOutsideShape);
    if (command.op != PathOp::Move && !subpathOpen_) Fail(line, orvane::rtl::msg::PathNoSubpath);
    Expect(t, 1 + 2 * points, line);
    for (size_t p = 0; p < points; ++p) {
      command.points[p] = PathPoint{Number(t[1 + 2 * p], line), Number(t[2 + 2 * p], line)};
    }
    subpathOpen_ = command.op != PathOp::Close;
    picture_.shapes.back().commands.push_back(command);
  }

  PathPicture Finish(size_t lastLine) {
    if (!havePicture_) Fail(lastLine, orvane::rtl::msg::PathNoPicture);
    FinishShape();
    return std::move(picture_);
  }

 private:
  static void Expect(const std::vector<std::string_view>& t, size_t count, size_t line) {
    if (t.size() != count) Fail(line, orvane::rtl::msg::PathValueCount);
  }

  // The shape before a new one (or the end) must have drawn something; the
  // error names the line that opened it.
  void FinishShape() {
    if (shapeOpen_ && picture_.shapes.back().commands.empty()) Fail(shapeLine_, orvane::rtl::msg::PathEmptyShape);
  }

  PathPicture picture_;
  bool havePicture_ = false;
  bool shapeOpen_ = false;
  bool subpathOpen_ = false;
  size_t shapeLine_ = 0;
};

}  // namespace

PathPicture ParsePathData(const std::string& text) {
  Parser parser;
  size_t line = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    ++line;
    parser.Line(std::string_view(text).substr(start, end - start), line);
    start = end + 1;
  }
  return parser.Finish(line == 0 ? 1 : line);
}

}  // namespace orvanetools
