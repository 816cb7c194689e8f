// Late-bound COM automation: objects reached through IDispatch by member name, with owners for
// the BSTR and VARIANT values that travel with the calls. Texts are ANSI (code page of the
// process) on the C++ side and UTF-16 on the automation side.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/code_page.h"  // WideFromAnsi, AnsiFromWide
#include "common/win_handle.h"


// Owner of one VARIANT (cleared with VariantClear).
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() { VariantClear(&value_); }

  static Variant Text(std::string_view ansi);  // VT_BSTR
  static Variant Int(int32_t number);          // VT_I4

  VARIANT* get() { return &value_; }
  VARTYPE type() const { return value_.vt; }
  bool empty() const { return value_.vt == VT_EMPTY || value_.vt == VT_NULL; }
  // The value as ANSI text; the empty text when it cannot be converted.
  std::string ToText() const;
  // The value as a floating-point number; 0 when it cannot be converted.
  double ToNumber() const;
  // The automation object the value holds, or none.
  ComPtr<IDispatch> ToDispatch() const;

 private:
  VARIANT value_;
};

// One automation object, or none. Every call on an empty object does nothing and yields an empty
// result, so a chain of calls after a failure ends quietly.
class AutomationObject {
 public:
  AutomationObject() = default;
  explicit AutomationObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  // Creates the object of a ProgID ("Shell.Application") with any server kind, falling back to
  // local ones where remote servers are refused, and makes sure it runs.
  static AutomationObject CreateFromProgId(const wchar_t* progId);
  // Creates the object of class `className` described by the type library file `typeLibrary`
  // ("wshom.ocx", "WshShell") and makes sure it runs.
  static AutomationObject CreateFromTypeLibrary(const wchar_t* typeLibrary, const wchar_t* className);

  bool empty() const { return !object_; }
  void reset() { object_.reset(); }

  // Calls a method or reads a property; arguments in their natural order.
  Variant Call(const wchar_t* member, std::span<Variant> arguments = {}) const;
  AutomationObject CallForObject(const wchar_t* member, std::span<Variant> arguments = {}) const;
  // Sets a property; answers whether it was set.
  bool Put(const wchar_t* member, Variant value) const;

 private:
  bool MemberId(const wchar_t* member, DISPID* id) const;

  ComPtr<IDispatch> object_;  // owned
};
