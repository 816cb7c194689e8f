#include "toolkit/elements/label.h"

#include "toolkit/draw/text_drawing.h"

void Label::Create(ObjectId parent, const Rect& rect, const std::string& text,
                   const FontDescription& font) {
  textFormat_ = MakeFont(font);
  text_ = text;
  Initialise(parent, rect, FontObject(), false, true, false, false);
  Refresh();
}

void Label::SetText(const std::string& text, bool immediate) {
  if (text != text_) LookChanged();
  text_ = text;
  if (immediate) {
    Refresh();
  } else {
    FadeIn(5, 5, 0);
  }
}

void Label::Clear() {
  textFormat_ = FontObject();
  text_.clear();
  LookChanged();
}

void Label::Paint(Gdiplus::GpGraphics* graphics) {
  if (text_.empty() || !textFormat_) return;
  DrawText(graphics, textFormat_, text_,
           Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(GetWidth()),
                          static_cast<Gdiplus::REAL>(GetHeight())));
}
