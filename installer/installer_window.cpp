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

  bool installing = false;  // the install job is running (inside StartInstall)

  void Build() {
    SetToolkitStartHooks(ApplyDefaultSkin, [] { StartRichEditService(); });
    InitialiseToolkit();
    elements.Build(EmbeddedImages(), {.transitionEffects = !IsWindowsXp(), .eventHandler = OnElementEvent});
    elements.window.SetMessageHooks(
        std::nullopt, [this](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
          return BeforeWindowMessage(message, wParam, result);
        },
        [this](HWND, UINT message, WPARAM, LPARAM, LRESULT*) { return AfterWindowMessage(message); });
  }

  void StartInstall() {
    elements.ShowInstalling();
    // The job runs here, synchronously on the window's thread; it ends the process on success and
    // after the folder-removal message box, and returns when the window is to stay open.
    installing = true;
    InstallJob();
    installing = false;
    // A window the system took away meanwhile (it cannot be refused) leaves nothing to stay open for.
    if (!IsWindow(elements.window.WindowHandle())) TerminateSelf(0);
  }

  // Every way out of the window ends the process as the close button does: the installer has no
  // other exit, and a process left without its window would keep the single-instance guard and
  // turn every later launch away. While the job runs nothing may close it (the close button is
  // hidden then for the same reason). Truth: handled, *result is the answer.
  bool BeforeWindowMessage(UINT message, WPARAM wParam, LRESULT* result) {
    switch (message) {
      case WM_CLOSE:  // the system close (Alt+F4, the taskbar), or another program
        if (!installing) return false;  // the toolkit plays the close transition, then AfterWindowMessage
        *result = 0;
        return true;
      case WM_QUERYENDSESSION:
        *result = installing ? FALSE : TRUE;
        return true;
      case WM_ENDSESSION:
        if (wParam && !installing) TerminateSelf(0);
        *result = 0;
        return true;
      case WM_DESTROY:  // destroyed without a close: nothing is left to show
        if (!installing) TerminateSelf(0);
        return false;
      default:
        return false;
    }
  }

  // After the toolkit's close transition, where the replaced procedure would destroy the window.
  bool AfterWindowMessage(UINT message) {
    if (message == WM_CLOSE) TerminateSelf(0);
    return false;
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
    // would glue the window to the pointer and swallow the next click. The toolkit's own move
    // starts from the cursor's screen position and, when the loop returns, clears the held and
    // pressed state that the loop's swallowed button-up leaves behind.
    elements.window.StartSystemMove();
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
