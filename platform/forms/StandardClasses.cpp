// The toolkit's own classes and their published properties, registered in
// the class registry when it is first used. Each class lists only what it
// publishes itself; the registry adds what its ancestors publish.

#include <orvane/forms/ClassRegistry.h>
#include <orvane/forms/Form.h>
#include <orvane/forms/Image.h>
#include <orvane/forms/Label.h>

namespace orvane::vcl {

namespace {

template <class T>
T& As(TComponent& c) {
  return static_cast<T&>(c);
}

int32_t ValueAsCoordinate(const FormValue& value) {
  const int32_t n = ValueAsInteger(value);
  if (n < -kMaxControlCoordinate || n > kMaxControlCoordinate) InvalidValue(value);
  return n;
}

// Font.* sub-properties: each changes one field of a copy and sets the copy,
// which clears ParentFont as setting the font does.
template <class Change>
void ChangeFont(TComponent& c, Change change) {
  auto& control = As<TControl>(c);
  TFont font = control.Font();
  change(font);
  control.SetFont(font);
}

void RegisterComponent(ClassRegistry& r) {
  r.Register("TComponent", "", nullptr)
      .Property("Tag", [](TComponent& c, const FormValue& v) { c.SetTag(ValueAsInteger(v)); });
}

void RegisterControl(ClassRegistry& r) {
  r.Register("TControl", "TComponent", nullptr)
      .Property("Left", [](TComponent& c, const FormValue& v) { As<TControl>(c).SetLeft(ValueAsCoordinate(v)); })
      .Property("Top", [](TComponent& c, const FormValue& v) { As<TControl>(c).SetTop(ValueAsCoordinate(v)); })
      .Property("Width", [](TComponent& c, const FormValue& v) { As<TControl>(c).SetWidth(ValueAsCoordinate(v)); })
      .Property("Height", [](TComponent& c, const FormValue& v) { As<TControl>(c).SetHeight(ValueAsCoordinate(v)); })
      .Property("Visible", [](TComponent& c, const FormValue& v) { As<TControl>(c).SetVisible(ValueAsBoolean(v)); })
      .Property("Align",
                [](TComponent& c, const FormValue& v) {
                  As<TControl>(c).SetAlign(static_cast<TAlign>(
                      ValueAsEnum(v, {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"})));
                })
      .Property("ParentFont",
                [](TComponent& c, const FormValue& v) { As<TControl>(c).SetParentFont(ValueAsBoolean(v)); })
      .Property("Font.Name",
                [](TComponent& c, const FormValue& v) {
                  ChangeFont(c, [&](TFont& f) { f.SetName(ValueAsString(v)); });
                })
      .Property("Font.Height",
                [](TComponent& c, const FormValue& v) {
                  ChangeFont(c, [&](TFont& f) { f.SetHeight(ValueAsInteger(v)); });
                })
      .Property("Font.Size",
                [](TComponent& c, const FormValue& v) {
                  // Points at 96 pixels an inch; a size is a character height.
                  ChangeFont(c, [&](TFont& f) { f.SetHeight(MulDiv(ValueAsInteger(v), -96, 72)); });
                })
      .Property("Font.Color",
                [](TComponent& c, const FormValue& v) {
                  ChangeFont(c, [&](TFont& f) { f.SetColor(ValueAsColor(v)); });
                })
      .Property("Font.Style",
                [](TComponent& c, const FormValue& v) {
                  const uint32_t bits = ValueAsSet(v, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
                  ChangeFont(c, [&](TFont& f) { f.SetStyle(static_cast<TFontStyles>(bits)); });
                })
      .Property("Font.Charset",
                [](TComponent& c, const FormValue& v) {
                  uint8_t charset = 0;
                  if (v.kind == FormValue::Kind::Integer) {
                    const int32_t n = ValueAsInteger(v);
                    if (n < 0 || n > 255) InvalidValue(v);
                    charset = static_cast<uint8_t>(n);
                  } else {
                    static constexpr uint8_t kCodes[] = {0, 1, 2};
                    charset = kCodes[ValueAsEnum(v, {"ANSI_CHARSET", "DEFAULT_CHARSET", "SYMBOL_CHARSET"})];
                  }
                  ChangeFont(c, [&](TFont& f) { f.SetCharset(charset); });
                })
      .NotifyEvent("OnClick", [](TComponent& c, TNotifyEvent h) { As<TControl>(c).OnClick = std::move(h); })
      .NotifyEvent("OnDblClick", [](TComponent& c, TNotifyEvent h) { As<TControl>(c).OnDblClick = std::move(h); })
      .MouseEvent("OnMouseDown", [](TComponent& c, TMouseEvent h) { As<TControl>(c).OnMouseDown = std::move(h); })
      .MouseMoveEvent("OnMouseMove",
                      [](TComponent& c, TMouseMoveEvent h) { As<TControl>(c).OnMouseMove = std::move(h); })
      .MouseEvent("OnMouseUp", [](TComponent& c, TMouseEvent h) { As<TControl>(c).OnMouseUp = std::move(h); });
  r.Register("TWinControl", "TControl", nullptr);
  r.Register("TGraphicControl", "TControl", nullptr);
}

void RegisterLabel(ClassRegistry& r) {
  r.Register<TLabel>("TLabel", "TGraphicControl")
      .Property("Alignment",
                [](TComponent& c, const FormValue& v) {
                  As<TLabel>(c).SetAlignment(
                      static_cast<TAlignment>(ValueAsEnum(v, {"taLeftJustify", "taRightJustify", "taCenter"})));
                })
      .Property("AutoSize", [](TComponent& c, const FormValue& v) { As<TLabel>(c).SetAutoSize(ValueAsBoolean(v)); })
      .Property("Caption", [](TComponent& c, const FormValue& v) { As<TLabel>(c).SetCaption(ValueAsString(v)); })
      .Property("Transparent",
                [](TComponent& c, const FormValue& v) { As<TLabel>(c).SetTransparent(ValueAsBoolean(v)); })
      .Property("WordWrap", [](TComponent& c, const FormValue& v) { As<TLabel>(c).SetWordWrap(ValueAsBoolean(v)); });
}

void RegisterImage(ClassRegistry& r) {
  r.Register<TImage>("TImage", "TGraphicControl")
      .Property("Center", [](TComponent& c, const FormValue& v) { As<TImage>(c).SetCenter(ValueAsBoolean(v)); })
      .Property("Picture.Data",
                [](TComponent& c, const FormValue& v) {
                  if (v.kind != FormValue::Kind::Binary) InvalidValue(v);
                  // The container reads the record into itself, without notice to the control.
                  As<TImage>(c).Picture().ReadData(v.data, v.size);
                })
      .Property("Proportional",
                [](TComponent& c, const FormValue& v) { As<TImage>(c).SetProportional(ValueAsBoolean(v)); })
      .Property("Stretch", [](TComponent& c, const FormValue& v) { As<TImage>(c).SetStretch(ValueAsBoolean(v)); });
}

void RegisterForm(ClassRegistry& r) {
  r.Register<TForm>("TForm", "TWinControl")
      .Property("Caption", [](TComponent& c, const FormValue& v) { As<TForm>(c).SetCaption(ValueAsString(v)); })
      .Property("ClientWidth",
                [](TComponent& c, const FormValue& v) { As<TForm>(c).SetClientWidth(ValueAsCoordinate(v)); })
      .Property("ClientHeight",
                [](TComponent& c, const FormValue& v) { As<TForm>(c).SetClientHeight(ValueAsCoordinate(v)); })
      .Property("Color", [](TComponent& c, const FormValue& v) { As<TForm>(c).SetColor(ValueAsColor(v)); })
      // Accepted for compatibility with stored forms; they change nothing here.
      .Property("OldCreateOrder", [](TComponent&, const FormValue& v) { ValueAsBoolean(v); })
      .Property("ShowHint", [](TComponent&, const FormValue& v) { ValueAsBoolean(v); })
      .Property("Position",
                [](TComponent& c, const FormValue& v) {
                  As<TForm>(c).SetPosition(static_cast<TPosition>(ValueAsEnum(
                      v, {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                          "poDesktopCenter"})));
                })
      .NotifyEvent("OnPaint", [](TComponent& c, TNotifyEvent h) { As<TForm>(c).OnPaint = std::move(h); })
      .Property("PixelsPerInch",
                [](TComponent& c, const FormValue& v) { As<TForm>(c).SetPixelsPerInch(ValueAsInteger(v)); })
      .Property("TextHeight", [](TComponent& c, const FormValue& v) {
        const int32_t height = ValueAsInteger(v);
        if (height < 0) InvalidValue(v);
        As<TForm>(c).SetDesignTextHeight(height);
      });
}

}  // namespace

void RegisterStandardClasses(ClassRegistry& registry) {
  RegisterComponent(registry);
  RegisterControl(registry);
  RegisterLabel(registry);
  RegisterImage(registry);
  RegisterForm(registry);
}

}  // namespace orvane::vcl
