// The toolkit's skin image table: decoded GDI+ images by name (caption-button states and the other
// skin slots). Filled from a skin database by ApplySkin; read by whatever draws skin images. An
// empty table is valid: lookups answer null and callers draw nothing.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

// The image stored under `name` (GBK bytes, for example "关闭_正常"), or null. Not owned by the caller;
// valid until the table is replaced or cleared.
Gdiplus::GpImage* SkinImageByName(const std::string& name);

// Stores `image` under `name`, taking ownership; replaces (and disposes) an image of that name.
void SetSkinImage(const std::string& name, Gdiplus::GpImage* image);

// Disposes every image of the table.
void ClearSkinImages();
