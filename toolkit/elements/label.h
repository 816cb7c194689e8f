// Label: one text (GBK) drawn into the element's rectangle with a font object built from a font
// description, which decides alignment, colour and glow. An empty text draws nothing.
#pragma once

#include <string>

#include "toolkit/draw/fonts.h"
#include "toolkit/elements/element.h"

class Label : public Element {
 public:
  // Builds the text format from `font`, copies the text, creates and shows the element.
  void Create(ObjectId parent, const Rect& rect, const std::string& text,
              const FontDescription& font);
  // Replaces the text: shown at once when `immediate`, else cross-faded from the old text (5 ms
  // ticks, 5 % a tick: 22 ticks). The same text again at once is recomposited and presented
  // without being drawn again (a progress display sets the same percentage many times).
  virtual void SetText(const std::string& text, bool immediate);
  // Releases the text format and empties the text.
  virtual void Clear();

  const std::string& text() const { return text_; }

 protected:
  void Paint(Gdiplus::GpGraphics* graphics) override;
  bool TracksLook() const override { return true; }

 private:
  std::string text_;       // GBK
  FontObject textFormat_;
};
