#include <orvane/forms/FormReader.h>

#include <string>
#include <unordered_set>
#include <vector>

#include <orvane/forms/ClassRegistry.h>
#include <orvane/forms/Form.h>
#include <orvane/forms/Resources.h>
#include <orvane/gdi/FontEngine.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

namespace {

using rtl::msg::FormatS;

constexpr int kMaxDepth = 32;

struct Token {
  enum class Kind : uint8_t { End, Identifier, Integer, String, Symbol };
  Kind kind = Kind::End;
  std::string text;  // identifier, string value, or the symbol character
  int64_t integer = 0;
  int line = 1;
};

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '.'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  const Token& Peek() {
    if (!peeked_) {
      next_ = Scan();
      peeked_ = true;
    }
    return next_;
  }
  Token Next() {
    Peek();
    peeked_ = false;
    return std::move(next_);
  }
  int Line() const { return line_; }

 private:
  char At(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

  void SkipSpace() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '/' && At(pos_ + 1) == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  // A number after an optional "-": decimal digits or "$" and hex digits.
  Token ScanInteger() {
    Token t;
    t.kind = Token::Kind::Integer;
    t.line = line_;
    bool negative = false;
    if (At(pos_) == '-') {
      negative = true;
      ++pos_;
    }
    uint64_t value = 0;
    int digits = 0;
    const bool hex = At(pos_) == '$';
    if (hex) ++pos_;
    while (true) {
      const int d = hex ? HexValue(At(pos_)) : (IsDigit(At(pos_)) ? At(pos_) - '0' : -1);
      if (d < 0) break;
      const uint64_t base = hex ? 16 : 10;
      if (value > (uint64_t{1} << 62) / base) FormError(line_, FormatS(rtl::msg::FormExpectedFmt, rtl::msg::FormWhatNumber));
      value = value * base + static_cast<uint64_t>(d);
      ++digits;
      ++pos_;
    }
    if (digits == 0 || IsIdentChar(At(pos_))) FormError(line_, FormatS(rtl::msg::FormExpectedFmt, rtl::msg::FormWhatNumber));
    t.integer = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return t;
  }

  // Quoted pieces and #nnn codes, as long as they follow each other directly.
  Token ScanString() {
    Token t;
    t.kind = Token::Kind::String;
    t.line = line_;
    while (true) {
      const char c = At(pos_);
      if (c == '\'') {
        ++pos_;
        while (true) {
          if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
            FormError(line_, rtl::msg::FormUnterminatedString);
          if (text_[pos_] == '\'') {
            if (At(pos_ + 1) == '\'') {
              t.text += '\'';
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          t.text += text_[pos_++];
        }
      } else if (c == '#') {
        ++pos_;
        const bool hex = At(pos_) == '$';
        if (hex) ++pos_;
        uint32_t cp = 0;
        int digits = 0;
        while (true) {
          const int d = hex ? HexValue(At(pos_)) : (IsDigit(At(pos_)) ? At(pos_) - '0' : -1);
          if (d < 0) break;
          cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(d);
          if (cp > 0x10FFFF) FormError(line_, rtl::msg::FormInvalidString);
          ++digits;
          ++pos_;
        }
        if (digits == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) FormError(line_, rtl::msg::FormInvalidString);
        gdi::AppendUtf8(t.text, cp);
      } else {
        break;
      }
    }
    return t;
  }

  Token Scan() {
    SkipSpace();
    Token t;
    // The end of the text is reported on the last line that holds anything.
    t.line = pos_ >= text_.size() ? lastLine_ : line_;
    if (pos_ >= text_.size()) return t;
    lastLine_ = line_;
    const char c = text_[pos_];
    if (IsIdentStart(c)) {
      t.kind = Token::Kind::Identifier;
      const size_t start = pos_;
      while (IsIdentChar(At(pos_))) ++pos_;
      t.text.assign(text_.substr(start, pos_ - start));
      return t;
    }
    if (IsDigit(c) || c == '$' || c == '-') return ScanInteger();
    if (c == '\'' || c == '#') return ScanString();
    t.kind = Token::Kind::Symbol;
    t.text.assign(1, c);
    ++pos_;
    return t;
  }

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
  int lastLine_ = 1;
  Token next_;
  bool peeked_ = false;
};

class Reader {
 public:
  Reader(std::string_view text, TComponent& root) : lexer_(text), root_(root) {}

  void Read() {
    rootClass_ = ClassRegistry::Instance().Find(root_.ClassName());
    if (!rootClass_) FormError(lexer_.Line(), FormatS(rtl::msg::FormUnknownClassFmt, root_.ClassName()));
    root_.SetLoading(true);
    loaded_.push_back(&root_);
    for (int i = 0; i < root_.ComponentCount(); ++i) TakeName(root_.Components(i)->Name());
    ReadObject(nullptr, 0);
    const Token after = lexer_.Next();
    if (after.kind != Token::Kind::End) FormError(after.line, FormatS(rtl::msg::FormExpectedFmt, rtl::msg::FormWhatEndOfText));
    ScaleToThisSystem();
    for (TComponent* c : loaded_) c->Loaded();
  }

 private:
  // Notes a name given to one of the root's components; false when one already
  // has it (names compare as SameText does). A set, so that a form of many
  // objects does not search all the others for each.
  bool TakeName(const std::string& name) {
    if (name.empty()) return true;
    std::string key = name;
    for (char& c : key)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return names_.insert(std::move(key)).second;
  }

  [[noreturn]] void Expected(const Token& t, const char* what) {
    if (t.kind == Token::Kind::End) FormError(t.line, rtl::msg::FormUnexpectedEnd);
    FormError(t.line, FormatS(rtl::msg::FormExpectedFmt, what));
  }

  Token ExpectIdentifier(const char* what) {
    Token t = lexer_.Next();
    if (t.kind != Token::Kind::Identifier) Expected(t, what);
    return t;
  }

  void ExpectSymbol(char symbol) {
    const Token t = lexer_.Next();
    if (t.kind != Token::Kind::Symbol || t.text[0] != symbol) Expected(t, std::string(1, symbol).c_str());
  }

  // "object Name: TClass", properties and children, "end". `container` is
  // the object this one is nested in (nullptr for the root).
  void ReadObject(TComponent* container, int depth) {
    const Token keyword = lexer_.Next();
    if (keyword.kind != Token::Kind::Identifier || !SameText(keyword.text, "object")) Expected(keyword, "object");
    if (depth > kMaxDepth) FormError(keyword.line, rtl::msg::FormTooDeep);
    const Token name = ExpectIdentifier(rtl::msg::FormWhatName);
    if (name.text.find('.') != std::string::npos) Expected(name, rtl::msg::FormWhatName);
    ExpectSymbol(':');
    const Token className = ExpectIdentifier(rtl::msg::FormWhatClassName);

    TComponent* component = nullptr;
    const ClassInfo* info = nullptr;
    if (!container) {
      if (!SameText(className.text, root_.ClassName()))
        FormError(className.line, FormatS(rtl::msg::FormWrongRootFmt, root_.ClassName()));
      component = &root_;
      info = rootClass_;
      root_.SetName(name.text);
    } else {
      info = ClassRegistry::Instance().Find(className.text);
      if (!info || !info->Create() || info->InheritsFrom("TForm"))
        FormError(className.line, FormatS(rtl::msg::FormUnknownClassFmt, className.text));
      if (!TakeName(name.text)) FormError(name.line, FormatS(rtl::msg::FormDuplicateNameFmt, name.text));
      component = info->Create()(&root_);
      component->SetName(name.text);
      component->SetLoading(true);
      loaded_.push_back(component);
      if (auto* control = dynamic_cast<TControl*>(component)) {
        auto* parent = dynamic_cast<TWinControl*>(container);
        if (!parent) FormError(keyword.line, FormatS(rtl::msg::FormNotAContainerFmt, container->Name()));
        control->SetParent(parent);
      }
      if (const FieldInfo* field = rootClass_->FindField(name.text)) {
        if (!field->assign(root_, component)) FormError(name.line, FormatS(rtl::msg::FormFieldTypeFmt, name.text));
      }
    }

    while (true) {
      const Token& next = lexer_.Peek();
      if (next.kind != Token::Kind::Identifier) Expected(lexer_.Next(), "end");
      if (SameText(next.text, "end")) {
        lexer_.Next();
        return;
      }
      if (SameText(next.text, "object")) {
        ReadObject(component, depth + 1);
        continue;
      }
      ReadProperty(*component, *info);
    }
  }

  void ReadProperty(TComponent& component, const ClassInfo& info) {
    const Token name = lexer_.Next();
    const PropertyInfo* property = info.FindProperty(name.text);
    if (!property) FormError(name.line, FormatS(rtl::msg::FormUnknownPropertyFmt, name.text));
    ExpectSymbol('=');
    FormValue value = ReadValue();
    value.property = property->name;
    if (!property->isEvent) {
      property->setValue(component, value);
      return;
    }
    if (value.kind != FormValue::Kind::Identifier) InvalidValue(value);
    const MethodInfo* method = rootClass_->FindMethod(value.text);
    if (!method) FormError(value.line, FormatS(rtl::msg::FormUnknownMethodFmt, value.text));
    if (method->kind != property->eventKind) InvalidValue(value);
    switch (method->kind) {
      case HandlerKind::Notify: property->setNotify(component, method->bindNotify(root_)); break;
      case HandlerKind::Mouse: property->setMouse(component, method->bindMouse(root_)); break;
      case HandlerKind::MouseMove: property->setMouseMove(component, method->bindMouseMove(root_)); break;
    }
  }

  FormValue ReadValue() {
    Token t = lexer_.Next();
    FormValue value;
    value.line = t.line;
    switch (t.kind) {
      case Token::Kind::Integer:
        value.kind = FormValue::Kind::Integer;
        value.integer = t.integer;
        return value;
      case Token::Kind::String:
        value.kind = FormValue::Kind::String;
        value.text = std::move(t.text);
        while (lexer_.Peek().kind == Token::Kind::Symbol && lexer_.Peek().text == "+") {
          lexer_.Next();
          Token piece = lexer_.Next();
          if (piece.kind != Token::Kind::String) {
            if (piece.kind == Token::Kind::End) FormError(piece.line, rtl::msg::FormUnexpectedEnd);
            FormError(piece.line, rtl::msg::FormInvalidString);
          }
          value.text += piece.text;
        }
        return value;
      case Token::Kind::Identifier:
        if (SameText(t.text, "resource") && lexer_.Peek().kind == Token::Kind::String) {
          const Token name = lexer_.Next();
          const Resource& resource = GetResource(name.text, ResourceKind::Binary);
          value.kind = FormValue::Kind::Binary;
          value.data = resource.data;
          value.size = resource.size;
          return value;
        }
        value.kind = FormValue::Kind::Identifier;
        value.text = std::move(t.text);
        return value;
      case Token::Kind::Symbol:
        if (t.text == "[") {
          value.kind = FormValue::Kind::Set;
          if (lexer_.Peek().kind == Token::Kind::Symbol && lexer_.Peek().text == "]") {
            lexer_.Next();
            return value;
          }
          while (true) {
            value.items.push_back(ExpectIdentifier(rtl::msg::FormWhatIdentifier).text);
            const Token sep = lexer_.Next();
            if (sep.kind == Token::Kind::Symbol && sep.text == "]") return value;
            if (sep.kind != Token::Kind::Symbol || sep.text != ",") Expected(sep, "]");
          }
        }
        Expected(t, rtl::msg::FormWhatValue);
      case Token::Kind::End:
        break;
    }
    Expected(t, rtl::msg::FormWhatValue);
  }

  // The form was laid out for a font whose text was DesignTextHeight pixels
  // high; where it measures otherwise, its controls follow the ratio.
  void ScaleToThisSystem() {
    auto* form = dynamic_cast<TForm*>(&root_);
    if (!form || form->DesignTextHeight() <= 0) return;
    const int32_t measured = form->MeasuredTextHeight();
    const int32_t stored = form->DesignTextHeight();
    if (measured <= 0 || measured == stored) return;
    for (TControl* c : form->ControlList()) c->ChangeScale(measured, stored);
  }

  Lexer lexer_;
  TComponent& root_;
  const ClassInfo* rootClass_ = nullptr;
  std::vector<TComponent*> loaded_;
  std::unordered_set<std::string> names_;  // the root's components' names, lower-cased
};

}  // namespace

void ReadFormDefinition(std::string_view text, TComponent& root) {
  Reader reader(text, root);
  try {
    reader.Read();
  } catch (...) {
    root.SetLoading(false);
    throw;
  }
}

}  // namespace orvane::vcl
