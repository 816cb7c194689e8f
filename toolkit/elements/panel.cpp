#include "toolkit/elements/panel.h"

#include "toolkit/draw/shapes.h"

void Panel::Create(ObjectId parent, const Rect& rect, Argb fillColour) {
  fillColour_ = fillColour;
  Initialise(parent, rect, FontObject(), false, true, false, false);
  Refresh();
}

void Panel::SetColour(Argb colour) {
  fillColour_ = colour;
  LookChanged();
  FadeIn(1, 5, 0);
}

void Panel::Paint(Gdiplus::GpGraphics* graphics) {
  FillRect(graphics, fillColour_, 0, 0, GetWidth(), GetHeight());
}
