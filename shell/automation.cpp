#include "shell/automation.h"

#include <ole2.h>
#include <oleauto.h>

#include <vector>

// ---------------------------------------------------------------------------------------------
// Variant

Variant::Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

Variant Variant::Text(std::string_view ansi) {
  Variant result;
  const std::wstring wide = WideFromAnsi(ansi);
  result.value_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (result.value_.bstrVal) result.value_.vt = VT_BSTR;
  return result;
}

Variant Variant::Int(int32_t number) {
  Variant result;
  result.value_.vt = VT_I4;
  result.value_.lVal = number;
  return result;
}

std::string Variant::ToText() const {
  if (value_.vt == VT_BSTR) {
    return value_.bstrVal ? AnsiFromWide({value_.bstrVal, SysStringLen(value_.bstrVal)}) : std::string();
  }
  Variant converted;
  if (FAILED(VariantChangeType(&converted.value_, const_cast<VARIANT*>(&value_), 0, VT_BSTR))) return std::string();
  return converted.ToText();
}

double Variant::ToNumber() const {
  Variant converted;
  if (FAILED(VariantChangeType(&converted.value_, const_cast<VARIANT*>(&value_), 0, VT_R8))) return 0;
  return converted.value_.dblVal;
}

ComPtr<IDispatch> Variant::ToDispatch() const {
  ComPtr<IDispatch> result;
  IUnknown* unknown = nullptr;
  if (value_.vt == VT_DISPATCH) unknown = value_.pdispVal;
  if (value_.vt == VT_UNKNOWN) unknown = value_.punkVal;
  if (unknown) unknown->QueryInterface(IID_IDispatch, result.put_void());
  return result;
}

// ---------------------------------------------------------------------------------------------
// AutomationObject

namespace {

AutomationObject RunningObject(ComPtr<IDispatch> object) {
  if (!object) return AutomationObject();
  OleRun(object.get());
  return AutomationObject(std::move(object));
}

// Frees a TYPEATTR on every path.
class TypeAttr {
 public:
  explicit TypeAttr(ITypeInfo* info) : info_(info) {
    if (FAILED(info_->GetTypeAttr(&attr_))) attr_ = nullptr;
  }
  TypeAttr(const TypeAttr&) = delete;
  TypeAttr& operator=(const TypeAttr&) = delete;
  ~TypeAttr() {
    if (attr_) info_->ReleaseTypeAttr(attr_);
  }
  const TYPEATTR* get() const { return attr_; }

 private:
  ITypeInfo* info_;  // not owned
  TYPEATTR* attr_ = nullptr;
};

}  // namespace

AutomationObject AutomationObject::CreateFromProgId(const wchar_t* progId) {
  CLSID classId;
  if (FAILED(CLSIDFromProgID(progId, &classId))) return AutomationObject();
  ComPtr<IDispatch> object;
  constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
  constexpr DWORD kNoRemoteServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
  HRESULT hr = CoCreateInstance(classId, nullptr, kAnyServer, IID_IDispatch, object.put_void());
  if (hr == E_INVALIDARG) hr = CoCreateInstance(classId, nullptr, kNoRemoteServer, IID_IDispatch, object.put_void());
  if (FAILED(hr)) return AutomationObject();
  return RunningObject(std::move(object));
}

AutomationObject AutomationObject::CreateFromTypeLibrary(const wchar_t* typeLibrary, const wchar_t* className) {
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLib(typeLibrary, library.put()))) return AutomationObject();
  // The name may also belong to an interface of the library: look at every match for the class.
  constexpr USHORT kMaxMatches = 8;
  ITypeInfo* infos[kMaxMatches] = {};
  MEMBERID memberIds[kMaxMatches] = {};
  USHORT found = kMaxMatches;
  std::wstring name = className;  // FindName wants a writable buffer
  if (FAILED(library->FindName(name.data(), 0, infos, memberIds, &found))) return AutomationObject();
  std::vector<ComPtr<ITypeInfo>> owned(found);
  for (USHORT i = 0; i < found; ++i) *owned[i].put() = infos[i];

  for (const ComPtr<ITypeInfo>& info : owned) {
    TypeAttr attr(info.get());
    if (!attr.get() || attr.get()->typekind != TKIND_COCLASS) continue;
    ComPtr<IDispatch> object;
    if (FAILED(CoCreateInstance(attr.get()->guid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, object.put_void()))) {
      return AutomationObject();
    }
    return RunningObject(std::move(object));
  }
  return AutomationObject();
}

bool AutomationObject::MemberId(const wchar_t* member, DISPID* id) const {
  LPOLESTR name = const_cast<LPOLESTR>(member);
  return SUCCEEDED(object_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, id));
}

Variant AutomationObject::Call(const wchar_t* member, std::span<Variant> arguments) const {
  Variant result;
  DISPID id;
  if (!object_ || !MemberId(member, &id)) return result;
  // DISPPARAMS holds the arguments last first.
  std::vector<VARIANT> reversed;
  reversed.reserve(arguments.size());
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(*it->get());
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (FAILED(object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                             &parameters, result.get(), nullptr, nullptr))) {
    return Variant();
  }
  return result;
}

AutomationObject AutomationObject::CallForObject(const wchar_t* member, std::span<Variant> arguments) const {
  return AutomationObject(Call(member, arguments).ToDispatch());
}

bool AutomationObject::Put(const wchar_t* member, Variant value) const {
  DISPID id;
  if (!object_ || !MemberId(member, &id)) return false;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{value.get(), &named, 1, 1};
  return SUCCEEDED(object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr,
                                   nullptr, nullptr));
}
