#include "installer/installer_window.h"

#include <string>

#include "common/byte_array.h"
#include "installer/install_job.h"
#include "installer/progress.h"
#include "installer/startup.h"
#include "installer/system_version.h"
#include "toolkit/draw/colour.h"
#include "toolkit/draw/fonts.h"
#include "toolkit/draw/images.h"
#include "toolkit/elements/hover_image_button.h"
#include "toolkit/elements/image_button.h"
#include "toolkit/elements/label.h"
#include "toolkit/elements/panel.h"
#include "toolkit/elements/picture.h"
#include "toolkit/elements/sprite_animation.h"
#include "toolkit/richedit/richedit_service.h"
#include "toolkit/skin/apply_skin.h"
#include "toolkit/window/skin_window.h"
#include "toolkit/window/toolkit.h"

VM_DECLARE_BYTE_ARRAY(vm_image_close);
VM_DECLARE_BYTE_ARRAY(vm_image_logo);
VM_DECLARE_BYTE_ARRAY(vm_image_marker);
VM_DECLARE_BYTE_ARRAY(vm_image_install_normal);
VM_DECLARE_BYTE_ARRAY(vm_image_install_hot);
VM_DECLARE_BYTE_ARRAY(vm_image_install_pressed);
VM_DECLARE_BYTE_ARRAY(vm_image_busy);

namespace {

constexpr char kWindowTitle[] = "Velmora - 在线安装";
constexpr char kInitialStatus[] = "正在释放文件中....";
constexpr char kInitialPercentage[] = "90%";
constexpr char kStartingStatus[] = "正在为您开启Velmora之旅";
constexpr int32_t kBusyFrames = 17;
constexpr int32_t kBusyIntervalMs = 100;

// The window and its elements, in the order they are created. Owned by BuildInstallerWindow for
// the life of the message loop.
struct InstallerWindow final : ProgressDisplay {
  SkinWindow window;
  Panel progressTrack;
  Panel progressFill;
  Panel dragArea;
  HoverImageButton closeButton;
  Picture logo;
  Picture progressMarker;
  Label percentLabel;
  Label statusLabel;
  ImageButton installButton;
  SpriteAnimation busyIndicator;
  Picture blankPicture;
  int32_t fullTrackWidth = 0;  // width of progressTrack when it was created

  void Build();
  void StartInstall();

  // ProgressDisplay: what the install job's reports show in this window.
  void ShowStatusText(const std::string& text) override { statusLabel.SetText(text, true); }
  void ShowProgress(int percentage) override {
    progressFill.Move(std::nullopt, std::nullopt, FillWidthForPercentage(fullTrackWidth, percentage));
    progressFill.Refresh();
    progressMarker.Move(MarkerLeftForFill(progressFill.GetWidth()));
    progressMarker.Refresh();
    percentLabel.SetText(std::to_string(percentage) + "%", true);
  }
  void ShowAbandoned() override {
    window.Refresh();
    closeButton.Visible(true);
  }
};

InstallerWindow* g_installer = nullptr;  // not owned

// The installer decodes its pictures itself into 32-bit ARGB bitmaps of their own size.
UniqueGpImage Decoded(const ByteArrayConstant& png) { return UniqueGpImage(LoadImageFromBytes(BytesOf(png)).release()); }

void InstallerWindow::Build() {
  SetToolkitStartHooks(ApplyDefaultSkin, [] { StartRichEditService(); });
  InitialiseToolkit();

  // The title is shown in the taskbar only: its colour is fully transparent.
  const FontDescription titleFont = MakeFontDescription(std::nullopt, std::nullopt, std::nullopt, 0, 0);
  window.Create(nullptr, titleFont, kWindowTitle, Rect{0, 0, 500, 200}, 1, std::nullopt, 0, 0, true, std::nullopt,
                MakeArgb(255, 28, 28, 28));
  window.SetShadowColour(0xC06000);
  if (!IsWindowsXp()) {
    window.SetShowEffect(9, 1);
    window.SetCloseEffect(9, 1);
  }
  const int32_t width = window.Width();
  const int32_t height = window.Height();
  const ObjectId root = window.Id();

  progressTrack.Create(root, Rect{12, 183, width - 24, 5}, MakeArgb(50, 0, 0, 0));
  fullTrackWidth = progressTrack.GetWidth();
  progressFill.Create(progressTrack.GetHandle(), Rect{0, 0, 2, progressTrack.GetHeight()}, MakeArgb(255, 204, 65, 4));
  progressTrack.Visible(false);

  dragArea.Create(root, Rect{10, 10, width - 20, height - 20}, 0);
  dragArea.SetEventHandler(OnElementEvent);

  closeButton.Create(root, Rect{width - 41, 10, 30, 31}, BytesOf(vm_image_close));
  closeButton.SetEventHandler(OnElementEvent);

  logo.Create(dragArea.GetHandle(), Rect{static_cast<int32_t>(width / 2.0 - 203.5), 10, 398, 63},
              Decoded(vm_image_logo));
  logo.Disabled(true);

  progressMarker.Create(root, Rect{-5, 153, 34, 29}, Decoded(vm_image_marker));
  progressMarker.Disabled(true);
  progressMarker.Visible(false);

  const FontDescription percentFont =
      MakeFontDescription(std::nullopt, std::nullopt, 10.0f, MakeArgb(255, 255, 255, 255), 0);
  percentLabel.Create(progressMarker.GetHandle(), Rect{0, 0, progressMarker.GetWidth(), progressMarker.GetHeight()},
                      kInitialPercentage, percentFont);

  const FontDescription statusFont =
      MakeFontDescription(std::nullopt, std::nullopt, 13.0f, MakeArgb(255, 128, 224, 0), 0);
  statusLabel.Create(root, Rect{0, 120, width, 30}, kInitialStatus, statusFont);
  statusLabel.Visible(false);

  installButton.Create(dragArea.GetHandle(), Rect{static_cast<int32_t>(width / 2.0 - 116.5), 100, 233, 54},
                       Decoded(vm_image_install_normal), Decoded(vm_image_install_hot),
                       Decoded(vm_image_install_pressed));
  installButton.SetEventHandler(OnElementEvent);

  Rect busyRect{230, 80, 476, 33};
  busyIndicator.Create(root, busyRect, BytesOf(vm_image_busy), kBusyFrames, kBusyIntervalMs);
  blankPicture.Create(dragArea.GetHandle(), Rect{static_cast<int32_t>(width / 2.0 - 70), 70, 120, 40},
                      UniqueGpImage());
  busyIndicator.Visible(false);

  window.SetLayered(true, true);
  window.Refresh();
  window.Show(true);
}

void InstallerWindow::StartInstall() {
  installButton.Visible(false);
  installButton.Destroy();
  progressTrack.Visible(true);
  progressFill.Visible(true);
  progressMarker.Visible(true);
  statusLabel.Visible(true);
  busyIndicator.Visible(true);
  closeButton.Visible(false);
  SetStatusText(kStartingStatus);
  // The job runs here, synchronously on the window's thread; it ends the process on success and
  // after the folder-removal message box, and returns when the window is to stay open.
  InstallJob();
}

}  // namespace

intptr_t OnElementEvent(HWND hostWindow, ObjectId objectId, int32_t eventCode, intptr_t, intptr_t, intptr_t,
                        intptr_t, intptr_t) {
  InstallerWindow* installer = g_installer;
  if (!installer) return 0;
  const auto event = static_cast<ElementEvent>(eventCode);
  if (event == ElementEvent::kLeftUp && objectId == installer->closeButton.GetHandle()) {
    installer->window.Close();  // plays the close transition before it returns
    TerminateSelf(0);
  } else if (event == ElementEvent::kLeftUp && objectId != 0 && objectId == installer->installButton.GetHandle()) {
    installer->StartInstall();
  } else if (event == ElementEvent::kMouseMove && objectId == installer->dragArea.GetHandle() &&
             (GetKeyState(VK_LBUTTON) & 0x8000)) {
    // Hands the window to the system's move loop: the area around the logo drags the window. Only
    // while the left button is held: a move loop entered on a plain hover (as some systems do)
    // would glue the window to the pointer and swallow the next click. The loop starts from the
    // cursor's screen position.
    POINT cursor{};
    GetCursorPos(&cursor);
    SendMessageW(installer->window.WindowHandle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
  }
  return 0;
}

int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) != 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void BuildInstallerWindow() {
  auto* installer = new InstallerWindow();
  g_installer = installer;
  SetProgressDisplay(installer);
  installer->Build();
  RunMessageLoop();
  // Normally not reached: the installer ends the process itself.
  SetProgressDisplay(nullptr);
  g_installer = nullptr;
  delete installer;
}
