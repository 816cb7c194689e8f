#include "installer/installer_window.h"

#include <string>

#include "common/byte_array.h"
#include "installer/install_job.h"
#include "installer/installer_elements.h"
#include "installer/progress.h"
#include "installer/startup.h"
#include "installer/system_version.h"
#include "toolkit/draw/images.h"
#include "toolkit/richedit/richedit_service.h"
#include "toolkit/skin/apply_skin.h"
#include "toolkit/window/toolkit.h"

VM_DECLARE_BYTE_ARRAY(vm_image_close);
VM_DECLARE_BYTE_ARRAY(vm_image_logo);
VM_DECLARE_BYTE_ARRAY(vm_image_marker);
VM_DECLARE_BYTE_ARRAY(vm_image_install_normal);
VM_DECLARE_BYTE_ARRAY(vm_image_install_hot);
VM_DECLARE_BYTE_ARRAY(vm_image_install_pressed);
VM_DECLARE_BYTE_ARRAY(vm_image_busy);

namespace {

// The installer decodes its pictures itself into 32-bit ARGB bitmaps of their own size.
UniqueGpImage Decoded(const ByteArrayConstant& png) { return UniqueGpImage(LoadImageFromBytes(BytesOf(png)).release()); }

InstallerImages EmbeddedImages() {
  return InstallerImages{.closeBytes = BytesOf(vm_image_close),
                         .logo = Decoded(vm_image_logo),
                         .marker = Decoded(vm_image_marker),
                         .installNormal = Decoded(vm_image_install_normal),
                         .installHot = Decoded(vm_image_install_hot),
                         .installPressed = Decoded(vm_image_install_pressed),
                         .busyStripBytes = BytesOf(vm_image_busy)};
}

// The window with its elements, and the ProgressDisplay of the install job: what the job's reports
// show in this window. Owned by BuildInstallerWindow for the life of the message loop.
struct InstallerWindow final : ProgressDisplay {
  InstallerElements elements;

  void Build() {
    SetToolkitStartHooks(ApplyDefaultSkin, [] { StartRichEditService(); });
    InitialiseToolkit();
    elements.Build(EmbeddedImages(), {.transitionEffects = !IsWindowsXp(), .eventHandler = OnElementEvent});
  }

  void StartInstall() {
    elements.ShowInstalling();
    // The job runs here, synchronously on the window's thread; it ends the process on success and
    // after the folder-removal message box, and returns when the window is to stay open.
    InstallJob();
  }

  void ShowStatusText(const std::string& text) override { elements.ShowStatusText(text); }
  void ShowProgress(int percentage) override { elements.ShowProgress(percentage); }
  void ShowAbandoned() override { elements.ShowAbandoned(); }
};

InstallerWindow* g_installer = nullptr;  // not owned

}  // namespace

intptr_t OnElementEvent(HWND hostWindow, ObjectId objectId, int32_t eventCode, intptr_t, intptr_t, intptr_t,
                        intptr_t, intptr_t) {
  InstallerWindow* installer = g_installer;
  if (!installer) return 0;
  InstallerElements& elements = installer->elements;
  const auto event = static_cast<ElementEvent>(eventCode);
  if (event == ElementEvent::kLeftUp && objectId == elements.closeButton.GetHandle()) {
    elements.window.Close();  // plays the close transition before it returns
    TerminateSelf(0);
  } else if (event == ElementEvent::kLeftUp && objectId != 0 && objectId == elements.installButton.GetHandle()) {
    installer->StartInstall();
  } else if (event == ElementEvent::kMouseMove && objectId == elements.dragArea.GetHandle() &&
             (GetKeyState(VK_LBUTTON) & 0x8000)) {
    // Hands the window to the system's move loop: the area around the logo drags the window. Only
    // while the left button is held: a move loop entered on a plain hover (as some systems do)
    // would glue the window to the pointer and swallow the next click. The loop starts from the
    // cursor's screen position.
    POINT cursor{};
    GetCursorPos(&cursor);
    SendMessageW(elements.window.WindowHandle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
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
