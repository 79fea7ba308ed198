#include <orvane/forms/ClassRegistry.h>

#include <algorithm>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

void RegisterStandardClasses(ClassRegistry& registry);  // StandardClasses.cpp

void FormError(int line, const std::string& text) {
  std::string message = rtl::msg::FormLineFmt;
  message.replace(message.find("%d"), 2, std::to_string(line));
  throw rtl::EFormDefinitionError(message + text);
}

void InvalidValue(const FormValue& value) {
  FormError(value.line, rtl::msg::FormatS(rtl::msg::FormInvalidValueFmt, value.property));
}

int32_t ValueAsInteger(const FormValue& value) {
  if (value.kind != FormValue::Kind::Integer || value.integer < INT32_MIN || value.integer > INT32_MAX)
    InvalidValue(value);
  return static_cast<int32_t>(value.integer);
}

bool ValueAsBoolean(const FormValue& value) {
  return ValueAsEnum(value, {"False", "True"}) == 1;
}

const std::string& ValueAsString(const FormValue& value) {
  if (value.kind != FormValue::Kind::String) InvalidValue(value);
  return value.text;
}

namespace {

struct NamedColor {
  const char* name;
  TColor value;
};

constexpr NamedColor kColors[] = {
    {"clBlack", 0x000000},   {"clMaroon", 0x000080}, {"clGreen", 0x008000},  {"clOlive", 0x008080},
    {"clNavy", 0x800000},    {"clPurple", 0x800080}, {"clTeal", 0x808000},   {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},  {"clRed", 0x0000FF},    {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},    {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},  {"clWhite", 0xFFFFFF},
    {"clWindow", clWindow},  {"clWindowText", clWindowText}, {"clBtnFace", clBtnFace},
};

}  // namespace

TColor ValueAsColor(const FormValue& value) {
  if (value.kind == FormValue::Kind::Integer) {
    if (value.integer < INT32_MIN || value.integer > UINT32_MAX) InvalidValue(value);
    return static_cast<TColor>(static_cast<uint32_t>(value.integer & 0xFFFFFFFF));
  }
  if (value.kind == FormValue::Kind::Identifier)
    for (const NamedColor& c : kColors)
      if (SameText(value.text, c.name)) return c.value;
  InvalidValue(value);
}

int ValueAsEnum(const FormValue& value, std::initializer_list<const char*> names) {
  if (value.kind == FormValue::Kind::Identifier) {
    int index = 0;
    for (const char* name : names) {
      if (SameText(value.text, name)) return index;
      ++index;
    }
  }
  InvalidValue(value);
}

uint32_t ValueAsSet(const FormValue& value, std::initializer_list<const char*> names) {
  if (value.kind != FormValue::Kind::Set) InvalidValue(value);
  uint32_t bits = 0;
  for (const std::string& item : value.items) {
    FormValue one;
    one.kind = FormValue::Kind::Identifier;
    one.text = item;
    one.line = value.line;
    one.property = value.property;
    bits |= uint32_t{1} << ValueAsEnum(one, names);
  }
  return bits;
}

bool ClassInfo::InheritsFrom(const std::string& className) const {
  for (const ClassInfo* c = this; c; c = c->parent_)
    if (SameText(c->name_, className)) return true;
  return false;
}

namespace {

// Looks a name up in the chain from the root class down to `leaf`.
template <class Item, class Get>
const Item* FindInChain(const ClassInfo* leaf, const std::string& name, Get get) {
  std::vector<const ClassInfo*> chain;
  for (const ClassInfo* c = leaf; c; c = c->Parent()) chain.push_back(c);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    for (const Item& item : get(**it))
      if (SameText(item.name, name)) return &item;
  return nullptr;
}

}  // namespace

const PropertyInfo* ClassInfo::FindProperty(const std::string& name) const {
  return FindInChain<PropertyInfo>(this, name, [](const ClassInfo& c) -> const auto& { return c.properties_; });
}

const MethodInfo* ClassInfo::FindMethod(const std::string& name) const {
  return FindInChain<MethodInfo>(this, name, [](const ClassInfo& c) -> const auto& { return c.methods_; });
}

const FieldInfo* ClassInfo::FindField(const std::string& name) const {
  return FindInChain<FieldInfo>(this, name, [](const ClassInfo& c) -> const auto& { return c.fields_; });
}

ClassInfo& ClassInfo::Property(const std::string& name, void (*set)(TComponent&, const FormValue&)) {
  PropertyInfo p;
  p.name = name;
  p.setValue = set;
  properties_.push_back(std::move(p));
  return *this;
}

ClassInfo& ClassInfo::NotifyEvent(const std::string& name, void (*set)(TComponent&, TNotifyEvent)) {
  PropertyInfo p;
  p.name = name;
  p.isEvent = true;
  p.eventKind = HandlerKind::Notify;
  p.setNotify = set;
  properties_.push_back(std::move(p));
  return *this;
}

ClassInfo& ClassInfo::MouseEvent(const std::string& name, void (*set)(TComponent&, TMouseEvent)) {
  PropertyInfo p;
  p.name = name;
  p.isEvent = true;
  p.eventKind = HandlerKind::Mouse;
  p.setMouse = set;
  properties_.push_back(std::move(p));
  return *this;
}

ClassInfo& ClassInfo::MouseMoveEvent(const std::string& name, void (*set)(TComponent&, TMouseMoveEvent)) {
  PropertyInfo p;
  p.name = name;
  p.isEvent = true;
  p.eventKind = HandlerKind::MouseMove;
  p.setMouseMove = set;
  properties_.push_back(std::move(p));
  return *this;
}

ClassInfo& ClassInfo::Method(MethodInfo method) {
  methods_.push_back(std::move(method));
  return *this;
}

ClassInfo& ClassInfo::Field(FieldInfo field) {
  fields_.push_back(std::move(field));
  return *this;
}

ClassRegistry& ClassRegistry::Instance() {
  static ClassRegistry* registry = [] {
    static ClassRegistry instance;
    RegisterStandardClasses(instance);
    return &instance;
  }();
  return *registry;
}

ClassInfo& ClassRegistry::Register(const std::string& name, const std::string& parent, ClassInfo::Factory create) {
  for (auto& c : classes_)
    if (SameText(c->Name(), name)) return *c;
  const ClassInfo* base = nullptr;
  if (!parent.empty()) {
    base = Find(parent);
    if (!base) throw rtl::EInvalidOperation(rtl::msg::FormatS(rtl::msg::FormUnknownClassFmt, parent));
  }
  classes_.push_back(std::make_unique<ClassInfo>(name, base, create));
  return *classes_.back();
}

const ClassInfo* ClassRegistry::Find(const std::string& name) const {
  for (const auto& c : classes_)
    if (SameText(c->Name(), name)) return c.get();
  return nullptr;
}

}  // namespace orvane::vcl
