#pragma once
// TLabel: a line (or lines) of text in the label's font. It is transparent:
// it draws only the glyphs of its text. With AutoSize (the default) it sizes
// itself to its text; aligned to a parent edge (alTop ...) it keeps the
// width the alignment gives it and only its height follows the text. With
// WordWrap the caption breaks at spaces to fit the width; line feeds always
// break. Alignment places each line left, right or centred.

#include <string>
#include <vector>

#include <orvane/forms/GraphicControl.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  const char* ClassName() const override { return "TLabel"; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { transparent_ = value; }

  // The caption's lines as they are drawn at the present width and font.
  std::vector<std::u32string> Lines() const;
  // Height of one line in the label's font.
  int32_t LineHeight() const;
  // Sizes the label to its text when AutoSize holds (not while loading).
  void AdjustBounds();
  void Loaded() override;

 protected:
  void Paint() override;
  void FontChanged() override;
  void Resized() override;

 private:
  std::string caption_;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool adjusting_ = false;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
