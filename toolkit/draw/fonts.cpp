#include "toolkit/draw/fonts.h"

#include "toolkit/draw/shapes.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct TextDefaults {
  WideText family;
  float size = 12;
  Argb colour = MakeArgb(254, 255, 255, 255);
  uint32_t style = font_style::kDefault;
  Argb glowColour = 0;
  int32_t renderingHint = TextRenderingHintAntiAliasGridFit;
};

TextDefaults& Defaults() {
  static TextDefaults defaults;
  return defaults;
}

// The toolkit's own fonts. Lives until ReleaseToolkitFonts or the end of the process: deleting it
// from a static destructor could run after GDI+ was shut down.
struct ToolkitFonts {
  UniqueGpPrivateFontCollection collection;
  std::vector<std::unique_ptr<uint8_t[]>> memoryFonts;  // GDI+ reads these for the collection's life
};

ToolkitFonts*& ToolkitFontsSlot() {
  static ToolkitFonts* fonts = nullptr;
  return fonts;
}

ToolkitFonts* EnsureToolkitFonts() {
  ToolkitFonts*& fonts = ToolkitFontsSlot();
  if (!fonts) {
    GpFontCollection* collection = nullptr;
    if (GdipNewPrivateFontCollection(&collection) != Ok) return nullptr;
    fonts = new ToolkitFonts;
    fonts->collection.reset(collection);
  }
  return fonts;
}

const wchar_t kPreferredFamily[] = L"\u5fae\u8f6f\u96c5\u9ed1";  // 微软雅黑
const wchar_t kFallbackFamily[] = L"\u5b8b\u4f53";               // 宋体

UniqueGpFontFamily FindFontFamilyByName(const std::wstring& name) {
  UniqueGpFontFamily family;
  if (name.empty()) return family;
  if (GdipCreateFontFamilyFromName(name.c_str(), nullptr, family.put()) == Ok && family) {
    return family;
  }
  if (GpFontCollection* own = ToolkitFontCollection()) {
    GdipCreateFontFamilyFromName(name.c_str(), own, family.put());
  }
  return family;
}

// The first family of the installed fonts, for systems that have neither the requested family,
// 宋体 nor a generic sans-serif face (Wine without Windows fonts).
UniqueGpFontFamily AnyInstalledFamily() {
  UniqueGpFontFamily family;
  GpFontCollection* installed = nullptr;  // owned by GDI+
  INT count = 0;
  if (GdipNewInstalledFontCollection(&installed) != Ok ||
      GdipGetFontCollectionFamilyCount(installed, &count) != Ok || count < 1) {
    return family;
  }
  GpFontFamily* first = nullptr;  // the list's families belong to the collection
  INT found = 0;
  if (GdipGetFontCollectionFamilyList(installed, 1, &first, &found) == Ok && found == 1 && first) {
    GdipCloneFontFamily(first, family.put());
  }
  return family;
}

// The description's family, else 宋体, else whatever sans-serif face GDI+ has, else any installed
// face: text drawn in some face beats text not drawn at all.
UniqueGpFontFamily ResolveFamily(const WideText& requested) {
  std::wstring name = requested.WString();
  if (name.empty()) name = DefaultFontFamily().WString();
  UniqueGpFontFamily family = FindFontFamilyByName(name);
  if (!family) family = FindFontFamilyByName(kFallbackFamily);
  if (!family) GdipGetGenericFontFamilySansSerif(family.put());
  if (!family) family = AnyInstalledFamily();
  return family;
}

}  // namespace

FontDescription MakeFontDescription(std::optional<uint32_t> style, std::optional<WideText> family,
                                    std::optional<float> size, std::optional<Argb> colour,
                                    std::optional<Argb> glowColour) {
  const TextDefaults& defaults = Defaults();
  FontDescription description;
  description.style = style.value_or(defaults.style);
  description.family = (family && !family->IsEmpty()) ? *family : defaults.family;
  description.size = size.value_or(defaults.size);
  description.colour = colour.value_or(defaults.colour);
  description.glowColour = glowColour.value_or(defaults.glowColour);
  return description;
}

WideText DefaultFontFamily(std::optional<WideText> family) {
  if (family) Defaults().family = std::move(*family);
  return Defaults().family;
}

float DefaultFontSize(std::optional<float> size) {
  if (size) Defaults().size = *size;
  return Defaults().size;
}

Argb DefaultTextColour(std::optional<Argb> colour) {
  if (colour) Defaults().colour = *colour;
  return Defaults().colour;
}

uint32_t DefaultFontStyle(std::optional<uint32_t> style) {
  if (style) Defaults().style = *style;
  return Defaults().style;
}

Argb DefaultGlowColour(std::optional<Argb> colour) {
  if (colour) Defaults().glowColour = *colour;
  return Defaults().glowColour;
}

int32_t DefaultTextRenderingHint(std::optional<int32_t> hint) {
  if (hint) Defaults().renderingHint = *hint;
  return Defaults().renderingHint;
}

WideText ChooseDefaultFontFamily() {
  const wchar_t* name = FindFontFamilyByName(kPreferredFamily) ? kPreferredFamily : kFallbackFamily;
  return WideTextFromWString(name);
}

void InitialiseFontDefaults() {
  DefaultFontFamily(ChooseDefaultFontFamily());
  DefaultTextRenderingHint(TextRenderingHintAntiAliasGridFit);
  DefaultFontSize(12);
  DefaultTextColour(MakeArgb(254, 255, 255, 255));
  DefaultFontStyle(font_style::kDefault);
}

bool AddToolkitFontFile(const std::wstring& path) {
  ToolkitFonts* fonts = EnsureToolkitFonts();
  return fonts && GdipPrivateAddFontFile(fonts->collection.get(), path.c_str()) == Ok;
}

bool AddToolkitFontBytes(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return false;
  ToolkitFonts* fonts = EnsureToolkitFonts();
  if (!fonts) return false;
  auto copy = std::make_unique<uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  if (GdipPrivateAddMemoryFont(fonts->collection.get(), copy.get(),
                               static_cast<INT>(bytes.size())) != Ok) {
    return false;
  }
  fonts->memoryFonts.push_back(std::move(copy));
  return true;
}

GpFontCollection* ToolkitFontCollection() {
  ToolkitFonts* fonts = ToolkitFontsSlot();
  return fonts ? fonts->collection.get() : nullptr;
}

void ReleaseToolkitFonts() {
  ToolkitFonts*& fonts = ToolkitFontsSlot();
  delete fonts;  // the collection goes before the bytes it reads (member order)
  fonts = nullptr;
}

UniqueGpFontFamily FindFontFamily(const WideText& name) { return FindFontFamilyByName(name.WString()); }

FontObject MakeFont(const FontDescription& description, bool noWrap, bool typographic) {
  FontObject object;
  const TextLayout layout = TextLayoutFromStyle(description.style, noWrap);

  if (typographic) {
    // The generic format is shared by the whole process; the font object changes its own copy.
    GpStringFormat* generic = nullptr;
    if (GdipStringFormatGetGenericTypographic(&generic) == Ok && generic) {
      GdipCloneStringFormat(generic, object.format_.put());
    }
  } else {
    GdipCreateStringFormat(0, LANG_NEUTRAL, object.format_.put());
  }
  if (object.format_) {
    GdipSetStringFormatFlags(object.format_.get(), layout.formatFlags);
    GdipSetStringFormatAlign(object.format_.get(), static_cast<StringAlignment>(layout.alignment));
    GdipSetStringFormatLineAlign(object.format_.get(),
                                 static_cast<StringAlignment>(layout.lineAlignment));
  }

  UniqueGpFontFamily family = ResolveFamily(description.family);
  if (family) {
    GdipCreateFont(family.get(), description.size, layout.fontStyle, UnitWorld,
                   object.font_.put());
  }

  object.textBrush_ = MakeSolidBrush(description.colour);
  if (layout.glow) {
    object.glowBrush_ = MakeSolidBrush(description.glowColour);
    object.hasGlow_ = true;
  }
  object.description_ = description;
  return object;
}
