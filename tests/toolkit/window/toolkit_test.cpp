// Toolkit start-up: what InitialiseToolkit sets up, in which order, and only once.
#include "toolkit/window/toolkit.h"

#include <gtest/gtest.h>

#include "toolkit/draw/fonts.h"

namespace {

struct SeenByHooks {
  int skinCalls = 0, richEditCalls = 0;
  bool familySetBeforeSkin = false;
  float sizeAtSkin = 0, sizeAtRichEdit = 0;
  uint32_t styleAtRichEdit = 0;
  int32_t optionAtRichEdit = 0;
} seen;

void ApplySkinHook() {
  ++seen.skinCalls;
  seen.familySetBeforeSkin = !DefaultFontFamily().IsEmpty();
  seen.sizeAtSkin = DefaultFontSize();
}

void StartRichEditHook() {
  ++seen.richEditCalls;
  seen.sizeAtRichEdit = DefaultFontSize();
  seen.styleAtRichEdit = DefaultFontStyle();
  seen.optionAtRichEdit = DefaultElementOption();
}

TEST(InitialiseToolkit, RunsItsStepsInOrderAndOnlyOnce) {
  EXPECT_FALSE(ToolkitInitialised());
  EXPECT_EQ(UpdateRectMessage(), 0u);
  DefaultFontSize(99.0f);
  DefaultElementOption(5);
  DefaultFontStyle(1);
  ToolkitMouseButtonHeld(true);
  SetToolkitStartHooks(&ApplySkinHook, &StartRichEditHook);

  ASSERT_TRUE(InitialiseToolkit());
  EXPECT_TRUE(ToolkitInitialised());
  EXPECT_EQ(seen.skinCalls, 1);
  EXPECT_EQ(seen.richEditCalls, 1);
  EXPECT_TRUE(seen.familySetBeforeSkin);
  EXPECT_EQ(seen.sizeAtSkin, 99.0f);  // the skin comes before the size default
  EXPECT_EQ(seen.sizeAtRichEdit, 12.0f);  // the service after all defaults
  EXPECT_EQ(seen.styleAtRichEdit, 4688u);
  EXPECT_EQ(seen.optionAtRichEdit, 1);
  EXPECT_FALSE(ToolkitMouseButtonHeld());

  EXPECT_EQ(DefaultWindowStyle(), 47u);
  EXPECT_EQ(DefaultTextColour(), MakeArgb(254, 255, 255, 255));
  EXPECT_EQ(DefaultTextRenderingHint(), 3);
  std::string family = DefaultFontFamily().ToText();
  EXPECT_TRUE(family == "微软雅黑" || family == "宋体") << family;
  EXPECT_TRUE(DefaultBackgroundImage().empty());
  EXPECT_TRUE(AnimationsEnabled());

  EXPECT_NE(UpdateRectMessage(), 0u);
  EXPECT_EQ(UpdateRectMessage(), RegisterWindowMessageA("Kv_Msg_WM_UPDATERECT"));
  EXPECT_EQ(reinterpret_cast<void*>(ResolvedDefWindowProcW()),
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "DefWindowProcW")));
  EXPECT_EQ(reinterpret_cast<void*>(ResolvedRtlMoveMemory()),
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "RtlMoveMemory")));
  EXPECT_EQ(reinterpret_cast<void*>(ResolvedAlphaBlend()),
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("msimg32.dll"), "AlphaBlend")));
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&version);
#pragma GCC diagnostic pop
  EXPECT_EQ(SystemMajorVersion(), static_cast<int32_t>(version.dwMajorVersion + version.dwMinorVersion / 10));

  // Later calls change nothing.
  DefaultFontSize(20.0f);
  EXPECT_TRUE(InitialiseToolkit());
  EXPECT_EQ(seen.skinCalls, 1);
  EXPECT_EQ(DefaultFontSize(), 20.0f);
}

TEST(InitialiseToolkit, RegistersTheFourWindowClassesBare) {
  ASSERT_TRUE(InitialiseToolkit());
  for (const wchar_t* name : {kWindowClassName, kComboBoxClassName, kMenuClassName, kSubmenuClassName}) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), name, &description)) << name;
    EXPECT_EQ(description.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS)) << name;
    EXPECT_EQ(description.hIcon, nullptr);
    EXPECT_EQ(description.hCursor, nullptr);
    EXPECT_EQ(description.hbrBackground, nullptr);
    EXPECT_EQ(description.lpszMenuName, nullptr);
  }
}

TEST(InitialiseToolkit, TheDropDownListHidesOnFocusLossAndIgnoresClose) {
  ASSERT_TRUE(InitialiseToolkit());
  HWND list = CreateWindowExW(0, kComboBoxClassName, L"", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(SendMessageW(list, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(list));
  EXPECT_TRUE(IsWindowVisible(list));
  SendMessageW(list, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_TRUE(IsWindow(list));
  DestroyWindow(list);
}

}  // namespace
