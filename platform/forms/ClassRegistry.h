#pragma once
// The registry of component classes and their published properties, which
// the form-definition reader goes through. Each class names its parent and
// registers its own properties; a lookup walks the base classes first, so a
// class sees everything its ancestors publish. Form classes also register
// their published fields (the controls a definition creates) and their
// methods (the handlers that event properties name).
//
// A form class registers itself once, before its first form is created:
//
//   auto& c = vcl::ClassRegistry::Instance().Register<TForm1>("TForm1", "TForm");
//   vcl::AddField(c, "Label1", &TForm1::Label1);
//   vcl::AddMethod(c, "FormPaint", &TForm1::FormPaint);
//
// and a control class adds its properties as setters taking a FormValue:
//
//   c.Property("Caption", [](TComponent& o, const FormValue& v) {
//     static_cast<TLabel&>(o).SetCaption(ValueAsString(v)); });

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <orvane/forms/Control.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

// A property value as a form definition writes it.
struct FormValue {
  enum class Kind : uint8_t { Integer, String, Identifier, Set, Binary };
  Kind kind = Kind::Integer;
  int64_t integer = 0;
  std::string text;                // String (UTF-8) or Identifier
  std::vector<std::string> items;  // Set: the identifiers in it
  const uint8_t* data = nullptr;   // Binary: bytes of an embedded resource
  size_t size = 0;
  int line = 0;                    // where the value stands
  std::string property;            // the (dotted) property name, for messages
};

// Raises EFormDefinitionError "Fehler in Formulardefinition, Zeile N: <text>".
[[noreturn]] void FormError(int line, const std::string& text);
// "Ungültiger Wert für Eigenschaft X" at the value's line.
[[noreturn]] void InvalidValue(const FormValue& value);

// Conversions; each raises InvalidValue when the value does not fit.
int32_t ValueAsInteger(const FormValue& value);
bool ValueAsBoolean(const FormValue& value);  // True / False
const std::string& ValueAsString(const FormValue& value);
TColor ValueAsColor(const FormValue& value);  // an integer or a colour name (clWhite ...)
// The position of the identifier in `names` (case-insensitive).
int ValueAsEnum(const FormValue& value, std::initializer_list<const char*> names);
// A set of identifiers from `names`, as bits (bit i for names[i]).
uint32_t ValueAsSet(const FormValue& value, std::initializer_list<const char*> names);

enum class HandlerKind : uint8_t { Notify, Mouse, MouseMove };

struct PropertyInfo {
  std::string name;
  bool isEvent = false;
  HandlerKind eventKind = HandlerKind::Notify;
  void (*setValue)(TComponent&, const FormValue&) = nullptr;
  void (*setNotify)(TComponent&, TNotifyEvent) = nullptr;
  void (*setMouse)(TComponent&, TMouseEvent) = nullptr;
  void (*setMouseMove)(TComponent&, TMouseMoveEvent) = nullptr;
};

// A method of a form class, bound to a form object on request.
struct MethodInfo {
  std::string name;
  HandlerKind kind = HandlerKind::Notify;
  std::function<TNotifyEvent(TComponent& form)> bindNotify;
  std::function<TMouseEvent(TComponent& form)> bindMouse;
  std::function<TMouseMoveEvent(TComponent& form)> bindMouseMove;
};

// A published field of a form class: set to the component of that name
// when the definition creates it; false when the component's class does not fit.
struct FieldInfo {
  std::string name;
  std::function<bool(TComponent& form, TComponent* component)> assign;
};

class ClassInfo {
 public:
  using Factory = TComponent* (*)(TComponent* owner);
  ClassInfo(std::string name, const ClassInfo* parent, Factory create)
      : name_(std::move(name)), parent_(parent), create_(create) {}

  const std::string& Name() const { return name_; }
  const ClassInfo* Parent() const { return parent_; }
  // Creates a component of this class (nullptr for a class that a definition cannot create).
  Factory Create() const { return create_; }
  bool InheritsFrom(const std::string& className) const;

  // Lookups walk the base classes first; names compare case-insensitively.
  const PropertyInfo* FindProperty(const std::string& name) const;
  const MethodInfo* FindMethod(const std::string& name) const;
  const FieldInfo* FindField(const std::string& name) const;

  ClassInfo& Property(const std::string& name, void (*set)(TComponent&, const FormValue&));
  ClassInfo& NotifyEvent(const std::string& name, void (*set)(TComponent&, TNotifyEvent));
  ClassInfo& MouseEvent(const std::string& name, void (*set)(TComponent&, TMouseEvent));
  ClassInfo& MouseMoveEvent(const std::string& name, void (*set)(TComponent&, TMouseMoveEvent));
  ClassInfo& Method(MethodInfo method);
  ClassInfo& Field(FieldInfo field);

 private:
  std::string name_;
  const ClassInfo* parent_;
  Factory create_;
  std::vector<PropertyInfo> properties_;
  std::vector<MethodInfo> methods_;
  std::vector<FieldInfo> fields_;
};

class ClassRegistry {
 public:
  // The registry, with the toolkit's own classes registered on first use.
  static ClassRegistry& Instance();

  // Registers (or returns the already registered) class; the parent must be
  // registered already. `create` may be nullptr for classes that only serve as bases.
  ClassInfo& Register(const std::string& name, const std::string& parent, ClassInfo::Factory create);
  template <class T>
  ClassInfo& Register(const std::string& name, const std::string& parent) {
    return Register(name, parent, [](TComponent* owner) -> TComponent* { return new T(owner); });
  }
  const ClassInfo* Find(const std::string& name) const;

 private:
  ClassRegistry() = default;
  std::vector<std::unique_ptr<ClassInfo>> classes_;
};

template <class Form>
void AddMethod(ClassInfo& c, const std::string& name, void (Form::*method)(TComponent*)) {
  MethodInfo m;
  m.name = name;
  m.kind = HandlerKind::Notify;
  m.bindNotify = [method](TComponent& form) -> TNotifyEvent {
    Form* self = static_cast<Form*>(&form);
    return [self, method](TComponent* sender) { (self->*method)(sender); };
  };
  c.Method(std::move(m));
}

template <class Form>
void AddMethod(ClassInfo& c, const std::string& name,
               void (Form::*method)(TComponent*, TMouseButton, TShiftState, int32_t, int32_t)) {
  MethodInfo m;
  m.name = name;
  m.kind = HandlerKind::Mouse;
  m.bindMouse = [method](TComponent& form) -> TMouseEvent {
    Form* self = static_cast<Form*>(&form);
    return [self, method](TComponent* s, TMouseButton b, TShiftState sh, int32_t x, int32_t y) {
      (self->*method)(s, b, sh, x, y);
    };
  };
  c.Method(std::move(m));
}

template <class Form>
void AddMethod(ClassInfo& c, const std::string& name, void (Form::*method)(TComponent*, TShiftState, int32_t, int32_t)) {
  MethodInfo m;
  m.name = name;
  m.kind = HandlerKind::MouseMove;
  m.bindMouseMove = [method](TComponent& form) -> TMouseMoveEvent {
    Form* self = static_cast<Form*>(&form);
    return [self, method](TComponent* s, TShiftState sh, int32_t x, int32_t y) { (self->*method)(s, sh, x, y); };
  };
  c.Method(std::move(m));
}

template <class Form, class Member>
void AddField(ClassInfo& c, const std::string& name, Member* Form::*field) {
  c.Field(FieldInfo{name, [field](TComponent& form, TComponent* component) {
                      auto* typed = dynamic_cast<Member*>(component);
                      if (!typed) return false;
                      static_cast<Form&>(form).*field = typed;
                      return true;
                    }});
}

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
