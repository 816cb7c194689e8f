#include "toolkit/richedit/content_delivery.h"

#include "toolkit/richedit/richedit_routes.h"
#include "toolkit/window/element_messages.h"

namespace {

constexpr wchar_t kWindowClass[] = L"Velmora.RichEditDelivery";
constexpr UINT kDeliverMessage = WM_APP + 0x301;

struct Delivery {
  ObjectId target;
  intptr_t kind;
  std::wstring text;
};

void Deliver(const Delivery& delivery) {
  // The id came from the network: only a live element standing in the registry may be told
  // anything.
  if (ElementFromId(delivery.target) == nullptr || RegistryIndexOf(delivery.target) == 0) return;
  SendElementMessage(delivery.target, element_message::kRichEditContent, delivery.kind,
                     reinterpret_cast<intptr_t>(delivery.text.c_str()));
}

LRESULT CALLBACK DeliveryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kDeliverMessage) return DefWindowProcW(window, message, wParam, lParam);
  std::unique_ptr<Delivery> delivery(reinterpret_cast<Delivery*>(lParam));
  try {
    Deliver(*delivery);
  } catch (...) {
    // An element's handler failed; the window procedure must not let that reach the system.
  }
  return 0;
}

bool RegisterDeliveryClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DeliveryWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::unique_ptr<ContentDelivery> ContentDelivery::CreateOnThisThread() {
  if (!RegisterDeliveryClass()) return nullptr;
  HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return nullptr;
  return std::unique_ptr<ContentDelivery>(new ContentDelivery(window));
}

ContentDelivery::~ContentDelivery() {
  // Records still queued for the window are freed here rather than leaked.
  MSG pending;
  while (PeekMessageW(&pending, window_.get(), kDeliverMessage, kDeliverMessage, PM_REMOVE)) {
    delete reinterpret_cast<Delivery*>(pending.lParam);
  }
}

bool ContentDelivery::Post(ObjectId target, intptr_t kind, std::wstring text) {
  auto delivery = std::make_unique<Delivery>(Delivery{target, kind, std::move(text)});
  if (!PostMessageW(window_.get(), kDeliverMessage, 0, reinterpret_cast<LPARAM>(delivery.get())))
    return false;
  delivery.release();  // the window procedure owns it now
  return true;
}
