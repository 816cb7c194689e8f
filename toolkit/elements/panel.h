// Panel: a rectangle of one ARGB colour. A colour with alpha 0 paints nothing visible; the panel
// still takes input (the installer's drag area is one).
#pragma once

#include "toolkit/draw/colour.h"
#include "toolkit/elements/element.h"

class Panel : public Element {
 public:
  // Stores the colour, creates the element (shown, enabled, not focusable) and shows it.
  void Create(ObjectId parent, const Rect& rect, Argb fillColour);
  // Sets a new colour and fades it in (1 ms ticks, 5 % a tick).
  virtual void SetColour(Argb colour);

  Argb fillColour() const { return fillColour_; }

 protected:
  void Paint(Gdiplus::GpGraphics* graphics) override;
  bool TracksLook() const override { return true; }

 private:
  Argb fillColour_ = 0;
};
