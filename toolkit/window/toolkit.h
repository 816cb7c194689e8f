// Process-wide start-up and state of the skin toolkit: GDI+, the system version, the registered
// presentation message, the entry points resolved at start-up, the four window classes, the
// toolkit defaults and the switches shared by the window layer and the elements.
//
// Everything here belongs to the one GUI thread. Setters follow the toolkit convention: a value is
// stored when given and the current value is always returned.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "toolkit/draw/colour.h"
#include "toolkit/window/rect.h"

// ---- Start-up ---------------------------------------------------------------------------------

// The two start-up steps that belong to other parts of the toolkit (the default skin and the
// rich-edit service are built on top of the window layer, so the layer only knows them as hooks).
// Either may be null. Set them before InitialiseToolkit.
using ToolkitStartHook = void (*)();
void SetToolkitStartHooks(ToolkitStartHook applyDefaultSkin, ToolkitStartHook startRichEditService);

// Once per process, before any window: starts GDI+ (version 1), reads the system version,
// registers "Kv_Msg_WM_UPDATERECT", resolves DefWindowProcW, RtlMoveMemory and AlphaBlend,
// registers the four window classes, sets the defaults (calling the default-skin hook between the
// font family and the font size, and the rich-edit hook after the defaults) and clears the
// mouse-button-held flag. Later calls do nothing and answer true. Answers whether GDI+ started.
bool InitialiseToolkit();
bool ToolkitInitialised();

// ---- What start-up found ------------------------------------------------------------------------

// major + minor / 10, truncated (6 for Windows 7, 5 for XP); 0 before start-up. Setting it
// overrides what start-up read (SetBlurBehind acts only on 6).
int32_t SystemMajorVersion(std::optional<int32_t> version = std::nullopt);
// The id of the registered message "Kv_Msg_WM_UPDATERECT": wParam 0, lParam points to a Rect in
// window coordinates; the window presents that rectangle at once.
inline constexpr char kUpdateRectMessageName[] = "Kv_Msg_WM_UPDATERECT";
UINT UpdateRectMessage();

// Sends the update-rect message for `rect` to `window` (a toolkit window of this thread). Any
// program on the desktop can send a window any message, so a toolkit window reads the rectangle
// only when the message comes this way: sent, not posted, on the window's own thread, with lParam
// the address this call is sending. Messages from other threads or processes are ignored.
void SendUpdateRect(HWND window, const Rect& rect);
// For the window procedure: the rectangle behind lParam of an update-rect message when
// SendUpdateRect is sending it on this thread; null for every other message.
const Rect* OwnUpdateRect(LPARAM lParam);

using DefWindowProcWFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using RtlMoveMemoryFunction = void(WINAPI*)(void*, const void*, SIZE_T);
using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
DefWindowProcWFunction ResolvedDefWindowProcW();
RtlMoveMemoryFunction ResolvedRtlMoveMemory();
AlphaBlendFunction ResolvedAlphaBlend();

// Window class names (wide), registered by start-up with CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS.
inline constexpr wchar_t kWindowClassName[] = L"KvSoft.DoDA.WindowClass.Window";
inline constexpr wchar_t kComboBoxClassName[] = L"KvSoft.DoDA.WindowClass.ComboBox";
inline constexpr wchar_t kMenuClassName[] = L"KvSoft.DoDA.WindowClass.menu";
inline constexpr wchar_t kSubmenuClassName[] = L"KvSoft.DoDA.WindowClass.menu1";

// ---- Defaults -----------------------------------------------------------------------------------
// (The text defaults, family, size, colour, style, glow and rendering hint, live with the fonts.)

// Window style flags used when Create is given none; 47 after start-up.
uint32_t DefaultWindowStyle(std::optional<uint32_t> flags = std::nullopt);
// Background image bytes used when Create is given none; empty unless a skin sets them.
const std::vector<uint8_t>& DefaultBackgroundImage(std::optional<std::vector<uint8_t>> bytes = std::nullopt);
// The toolkit's sixth default, read by element code; 1 after start-up.
int32_t DefaultElementOption(std::optional<int32_t> value = std::nullopt);

// ---- Shared switches ----------------------------------------------------------------------------

// The accent colour, set by a focused themeSource window and used to tint backgrounds.
Argb ToolkitAccentColour(std::optional<Argb> colour = std::nullopt);
// A mouse button went down in a toolkit window and has not come up (also cleared when a system
// move or resize loop ends, as that loop eats the button-up).
bool ToolkitMouseButtonHeld(std::optional<bool> held = std::nullopt);
// Whether element repaints only mark their window present-pending (its 30 ms timer presents) instead
// of presenting at once. Every mouse move over a toolkit window copies that window's setting:
// true for a layered window with a shadow.
bool DeferredPresentation(std::optional<bool> deferred = std::nullopt);
// When false, element fades fall back to a plain refresh. True by default.
bool AnimationsEnabled(std::optional<bool> enabled = std::nullopt);
// The toolkit's popup menus: a menu is being tracked, and the handle of the open popup (0 none).
bool PopupMenuTracking(std::optional<bool> tracking = std::nullopt);
HWND OpenPopupMarker(std::optional<HWND> popup = std::nullopt);
