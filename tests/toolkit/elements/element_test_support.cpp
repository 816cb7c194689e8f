#include "element_test_support.h"

#include <objbase.h>

#include <cstdio>
#include <cstdlib>

#include "toolkit/draw/shapes.h"
#include "toolkit/window/toolkit.h"
#include "toolkit/window/window_props.h"

void EnsureToolkit() {
  static const bool started = [] {
    UseUnmanagedWindows();
    return InitialiseToolkit();
  }();
  (void)started;
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// ---- TestHostWindow ---------------------------------------------------------------------------

LRESULT CALLBACK TestHostWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  auto* self = reinterpret_cast<TestHostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message == UpdateRectMessage() && message != 0) {
    ++self->presentCount_;
    self->lastPresented_ = *reinterpret_cast<const Rect*>(lParam);
    return 0;
  }
  const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
  if (self) DispatchInput(window, message, wParam, lParam);
  return result;
}

TestHostWindow::TestHostWindow(int32_t width, int32_t height, Argb background)
    : background_(background) {
  EnsureToolkit();
  static const ATOM windowClass = [] {
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    description.style = CS_DBLCLKS;
    description.lpfnWndProc = Procedure;
    description.lpszClassName = L"ElementTestHost";
    return RegisterClassExW(&description);
  }();
  window_ = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(windowClass)),
                            L"element test", WS_POPUP, 20, 20, width, height, nullptr, nullptr,
                            nullptr, nullptr);
  main_ = WindowSurface::Create(width, height);
  backgroundSurface_ = WindowSurface::Create(width, height);
  FillRect(backgroundSurface_.graphics(), background, 0, 0, width, height);
  Gdiplus::DllExports::GdipFlush(backgroundSurface_.graphics(), Gdiplus::FlushIntentionSync);
  BitBlt(main_.memoryDc(), 0, 0, width, height, backgroundSurface_.memoryDc(), 0, 0, SRCCOPY);

  root_ = RegisterWindowObject(nullptr);
  SetIdProp(window_, kPropObjectId, root_);
  SetPropA(window_, kPropMainDc, main_.memoryDc());
  SetPropA(window_, kPropBackgroundDc, backgroundSurface_.memoryDc());
  RegistryInsertFront(root_);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(window_, SW_SHOWNOACTIVATE);
}

TestHostWindow::~TestHostWindow() {
  // WM_DESTROY sweeps the window's entries (and tells its elements) out of the registry.
  DestroyWindow(window_);
  const int position = RegistryIndexOf(root_);
  if (position > 0) RegistryRemoveWithChildren(position);
  UnregisterObject(root_);
}

bool TestHostWindow::presentPending() const {
  return GetPropW(window_, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(kPresentPendingAtom))) ==
         reinterpret_cast<HANDLE>(1);
}

void TestHostWindow::ClearPresentPending() {
  SetPropW(window_, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(kPresentPendingAtom)), nullptr);
}

void TestHostWindow::RepaintAll() {
  BitBlt(main_.memoryDc(), 0, 0, main_.width(), main_.height(), backgroundSurface_.memoryDc(), 0,
         0, SRCCOPY);
  for (int position = RegistryIndexOf(root_) - 1; position >= 1; --position) {
    ElementNode* node = ElementFromId(RegistryAt(position));
    if (!node || node->hostWindow != window_) break;
    SendElementMessage(RegistryAt(position), element_message::kCompositeSelf, 0, 0);
  }
}

// ---- ProbeElement -----------------------------------------------------------------------------

bool ProbeElement::Create(ObjectId parent, const Rect& rect, bool focusable, bool visible) {
  const bool created = Initialise(parent, rect, FontObject(), focusable, visible, false, false);
  Refresh();
  return created;
}

void ProbeElement::Paint(Gdiplus::GpGraphics* graphics) {
  ++paintCount;
  FillRect(graphics, colour_, 0, 0, GetWidth(), GetHeight());
}

// ---- Images -----------------------------------------------------------------------------------

std::vector<uint8_t> MakePng(int32_t width, int32_t height,
                             const std::function<Argb(int32_t, int32_t)>& colourAt) {
  using namespace Gdiplus::DllExports;
  EnsureToolkit();
  Gdiplus::GpBitmap* raw = nullptr;
  GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &raw);
  UniqueGpBitmap bitmap(raw);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) GdipBitmapSetPixel(bitmap.get(), x, y, colourAt(x, y));
  }
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  ComPtr<IStream> owner;
  *owner.put() = stream;
  // The PNG encoder's class id.
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  GdipSaveImageToStream(bitmap.get(), stream, &png, nullptr);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  return bytes;
}

UniqueGpImage MakeSolidImage(int32_t width, int32_t height, Argb colour) {
  EnsureToolkit();
  Gdiplus::GpBitmap* raw = nullptr;
  Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr,
                                                 &raw);
  UniqueGpImage image(raw);
  UniqueGpGraphics graphics = GraphicsForImage(image.get());
  FillRect(graphics.get(), colour, 0, 0, width, height);
  return image;
}

// ---- Colours ----------------------------------------------------------------------------------

bool NearColour(Argb actual, Argb expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

std::string ColourText(Argb colour) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08X", colour);
  return text;
}

Argb BlendOver(Argb below, Argb colour, int opacity) {
  const int alpha = AlphaOf(colour) * opacity / 255;
  auto channel = [&](int shift) {
    const int c = static_cast<int>((colour >> shift) & 0xFF);
    const int b = static_cast<int>((below >> shift) & 0xFF);
    return static_cast<uint32_t>((c * alpha + b * (255 - alpha)) / 255) << shift;
  };
  return 0xFF000000u | channel(16) | channel(8) | channel(0);
}
