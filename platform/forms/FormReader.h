#pragma once
// The form-definition reader. A definition is text (UTF-8):
//
//   object Form1: TForm1            a component: its name and class
//     Caption = 'Form1'             a property and its value
//     Font.Style = [fsBold]         dotted names reach sub-properties
//     OnPaint = FormPaint           a handler, by the name of a form method
//     object Label1: TLabel         nested objects are children
//       Caption = 'It''s' + #33     strings: '' is a quote, #nnn a code point
//     end
//   end
//
// Values: integers (decimal, or hexadecimal after "$", with an optional
// "-"), strings (quoted pieces and #nnn codes, joined by "+", also across
// lines), identifiers (True, False, enum values, colour names), sets
// ([fsBold, fsItalic]), and `resource 'Name'` for the bytes of an embedded
// binary resource. Text after "//" up to the end of the line is a comment.
//
// Properties are applied in the stored order, through the class registry,
// so setters run in file order. The root object names the form's own class.
// When the form stores a TextHeight that differs from the text height of its
// font here, its controls' positions, sizes and fonts are scaled by the
// ratio (the form keeps its outer size). Any error raises
// EFormDefinitionError naming the line; a missing resource EResNotFound.

#include <string_view>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TComponent;

// Reads `text` into `root`, whose class must be the root object's class.
void ReadFormDefinition(std::string_view text, TComponent& root);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
