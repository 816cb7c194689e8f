#include "toolkit/richedit/content_delivery.h"

#include "toolkit/richedit/richedit_routes.h"

namespace {

size_t TextBytes(const std::wstring& text) { return text.size() * sizeof(wchar_t); }

bool RegisterDeliveryClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kContentDeliveryWindowClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::unique_ptr<ContentDelivery> ContentDelivery::CreateOnThisThread(const DeliveryLimits& limits) {
  if (!RegisterDeliveryClass(WindowProc)) return nullptr;
  HWND window = CreateWindowExW(0, kContentDeliveryWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return nullptr;
  return std::unique_ptr<ContentDelivery>(new ContentDelivery(window, limits));
}

ContentDelivery::ContentDelivery(HWND window, const DeliveryLimits& limits)
    : limits_(limits), window_(window) {
  // Only this process can set a window's user data, so the procedure finds its table here.
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ContentDelivery::~ContentDelivery() {
  // Numbers still queued for the window die with it; their records go with the table.
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

bool ContentDelivery::HasRoomFor(size_t textBytes) const {
  CriticalSectionLock::ScopedLock hold(lock_);
  return pending_.size() < limits_.maxPending &&
         textBytes <= limits_.maxPendingBytes - pendingBytes_;
}

bool ContentDelivery::Post(ObjectId target, intptr_t kind, std::wstring text) {
  const size_t bytes = TextBytes(text);
  uintptr_t number = 0;
  {
    CriticalSectionLock::ScopedLock hold(lock_);
    if (pending_.size() >= limits_.maxPending || bytes > limits_.maxPendingBytes - pendingBytes_)
      return false;
    number = ++lastNumber_;
    pending_.emplace(number, Record{target, kind, std::move(text)});
    pendingBytes_ += bytes;
  }
  if (PostMessageW(window_.get(), kContentDeliveryMessage, number, 0)) return true;
  Take(number);  // the queue is full or the window gone: the record would never be collected
  return false;
}

std::optional<ContentDelivery::Record> ContentDelivery::Take(uintptr_t number) {
  CriticalSectionLock::ScopedLock hold(lock_);
  auto found = pending_.find(number);
  if (found == pending_.end()) return std::nullopt;
  std::optional<Record> record(std::move(found->second));
  pending_.erase(found);
  pendingBytes_ -= TextBytes(record->text);
  return record;
}

LRESULT CALLBACK ContentDelivery::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message != kContentDeliveryMessage) return DefWindowProcW(window, message, wParam, lParam);
  try {
    auto* self = reinterpret_cast<ContentDelivery*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return 0;
    std::optional<Record> record = self->Take(static_cast<uintptr_t>(wParam));
    if (!record) return 0;
    // The id came from the network: only a live element standing in the registry may be told
    // anything.
    if (ElementFromId(record->target) == nullptr || RegistryIndexOf(record->target) == 0) return 0;
    SendElementMessage(record->target, kRichEditContentMessage, record->kind,
                       reinterpret_cast<intptr_t>(record->text.c_str()));
  } catch (...) {
    // An element's handler failed; the window procedure must not let that reach the system.
  }
  return 0;
}
