// Applying a skin: the toolkit's own skin database and the images decoded from it into the skin
// image table (skin_images.h).
//
// GDI+ must be running (GdiplusStartup) before anything here is called; the toolkit's start-up
// starts it first and then calls ApplyDefaultSkin. GUI thread only.
#pragma once

#include "toolkit/skin/skin_database.h"

// The database the toolkit's skin was last loaded from. Owned by the toolkit; lives until the
// process ends.
SkinDatabase& ToolkitSkinDatabase();

// Releases the caption-button images, loads the toolkit's database from `bytes` (LoadBytes) and
// decodes, name by name in the table's order, the images of the skin image table into their
// slots. A name the database lacks, or data that does not decode as an image, leaves that slot
// empty. Bytes that are not a database leave the toolkit's database as it was, and the table is
// filled from it again: a broken skin never blanks the windows.
void ApplySkin(SkinByteView bytes);

// The default skin built into the program: 46 PNG images, empty comment.
SkinByteView DefaultSkinBytes();

// ApplySkin(DefaultSkinBytes()): what the toolkit's start-up calls.
void ApplyDefaultSkin();
