// Font descriptions, the toolkit's text defaults, the font object built from a description, and the
// toolkit's own font collection.
//
// A font description is plain data (style bits, family, size, colours); a font object holds the
// GDI+ resources to draw with it. Family names are resolved when the font object is made: the
// name among the installed fonts, else the same name in the toolkit's own collection, else
// "宋体" (installed, then own collection), else GDI+'s generic sans-serif family, else the first
// installed family, so that text is always drawn with some font rather than not at all.
//
// Everything here needs GDI+ started (StartGdiplus) and runs on the GUI thread.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "toolkit/draw/colour.h"
#include "toolkit/draw/gdi_owners.h"
#include "toolkit/draw/text_style.h"
#include "toolkit/draw/wide_text.h"

struct FontDescription {
  uint32_t style = font_style::kDefault;  // font_style bits
  WideText family;                        // family name; resolved when the font object is made
  float size = 12;                        // GDI+ world units
  Argb colour = MakeArgb(254, 255, 255, 255);
  Argb glowColour = 0;
};

// Each value not given takes the toolkit default at the time of the call. An empty family counts
// as not given.
FontDescription MakeFontDescription(std::optional<uint32_t> style = std::nullopt,
                                    std::optional<WideText> family = std::nullopt,
                                    std::optional<float> size = std::nullopt,
                                    std::optional<Argb> colour = std::nullopt,
                                    std::optional<Argb> glowColour = std::nullopt);

// ---- Toolkit defaults: each sets the value when given and returns the current one ---------------
WideText DefaultFontFamily(std::optional<WideText> family = std::nullopt);  // initially empty
float DefaultFontSize(std::optional<float> size = std::nullopt);             // initially 12
Argb DefaultTextColour(std::optional<Argb> colour = std::nullopt);  // initially ARGB(254,255,255,255)
uint32_t DefaultFontStyle(std::optional<uint32_t> style = std::nullopt);  // initially 4688
Argb DefaultGlowColour(std::optional<Argb> colour = std::nullopt);        // initially 0
// GDI+ TextRenderingHint for all toolkit text; initially 3 (anti-alias with grid fit).
int32_t DefaultTextRenderingHint(std::optional<int32_t> hint = std::nullopt);

// "微软雅黑" when GDI+ can create that family (installed or in the toolkit's collection), else
// "宋体".
WideText ChooseDefaultFontFamily();
// The text part of toolkit start-up: family from ChooseDefaultFontFamily, size 12, colour
// ARGB(254,255,255,255), style 4688, text-rendering hint 3. The glow colour is left as it is.
void InitialiseFontDefaults();

// ---- The toolkit's own font collection -----------------------------------------------------------
// A GDI+ private font collection, searched when a family name is not installed. Empty until fonts
// are added. Adding returns whether GDI+ accepted the font.
bool AddToolkitFontFile(const std::wstring& path);
bool AddToolkitFontBytes(std::span<const uint8_t> bytes);  // the bytes are copied and kept
Gdiplus::GpFontCollection* ToolkitFontCollection();        // null until a font was added
// Deletes the collection and the kept font bytes (before GdiplusShutdown, if ever).
void ReleaseToolkitFonts();

// A family by name: installed fonts first, then the toolkit's collection. Empty when neither has it.
UniqueGpFontFamily FindFontFamily(const WideText& name);

// ---- Font object ---------------------------------------------------------------------------------
// The GDI+ resources for one description, in the toolkit's order: string format, font, text brush,
// glow brush, has-glow, the description. Move-only; empty (no font) when default-constructed.
class FontObject {
 public:
  FontObject() = default;
  FontObject(FontObject&&) noexcept = default;
  FontObject& operator=(FontObject&&) noexcept = default;

  Gdiplus::GpStringFormat* format() const { return format_.get(); }
  Gdiplus::GpFont* font() const { return font_.get(); }
  Gdiplus::GpBrush* textBrush() const { return textBrush_.get(); }
  Gdiplus::GpBrush* glowBrush() const { return glowBrush_.get(); }
  bool hasGlow() const { return hasGlow_; }
  const FontDescription& description() const { return description_; }
  explicit operator bool() const { return font_ && format_ && textBrush_; }

 private:
  friend FontObject MakeFont(const FontDescription&, bool, bool);
  UniqueGpStringFormat format_;
  UniqueGpFont font_;
  UniqueGpBrush textBrush_;
  UniqueGpBrush glowBrush_;
  bool hasGlow_ = false;
  FontDescription description_;
};

// Builds the font object: the generic typographic string format when `typographic`, else a new
// default one; format flags, alignment and font style from the style bits (TextLayoutFromStyle);
// the family resolved as described at the top; a text brush, and with style bit 4096 a glow brush.
FontObject MakeFont(const FontDescription& description, bool noWrap = false,
                    bool typographic = false);
