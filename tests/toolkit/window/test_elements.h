// Small element classes for the window layer's tests: they record every element message and read
// their effective state the way the element model does (ancestors and the window count).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "toolkit/window/object_registry.h"
#include "toolkit/window/window_props.h"

struct ReceivedMessage {
  ObjectId id;
  uint32_t code;
  intptr_t a;
  intptr_t b;
  friend bool operator==(const ReceivedMessage&, const ReceivedMessage&) = default;
};

class RecordingElement : public ElementNode {
 public:
  // Every message any RecordingElement received, in order.
  static std::vector<ReceivedMessage>& Log() {
    static std::vector<ReceivedMessage> log;
    return log;
  }

  // Registers the element and inserts it at the front of its parent's block (children stand in
  // front of their parent, a new child in front of its older siblings). `rect` is in window
  // coordinates; clipRect is the same.
  RecordingElement(ObjectId parentId, HWND window, Rect rect, bool focusableElement = false) {
    objectId = RegisterElementObject(this);
    hostWindow = window;
    parent = parentId;
    visible = true;
    focusable = focusableElement;
    depth = DepthOf(parentId) + 1;
    absoluteRect = rect;
    clipRect = rect;
    int parentPosition = RegistryIndexOf(parentId);
    int position = parentPosition;
    while (position > 1 && DepthOf(RegistryAt(position - 1)) > DepthOf(parentId)) --position;
    RegistryInsertAt(position, objectId);
  }
  ~RecordingElement() override { UnregisterObject(objectId); }

  intptr_t HandleMessage(uint32_t code, intptr_t a, intptr_t b) override {
    Log().push_back({objectId, code, a, b});
    if (code == 32 && b != 0) {
      auto* arguments = reinterpret_cast<const intptr_t*>(b);
      lastOtherLParam = arguments[0];
      lastOtherWParam = arguments[1];
    }
    if (onMessage) onMessage(code);
    if (code == 2) {
      // What the element model does on message 2: forget the element everywhere.
      for (const char* name : {"DoDA_FUCOS", "DoDA_MOUSEON", "DoDA_MOUSECAPTURE"}) {
        if (GetIdProp(hostWindow, name) == objectId) SetIdProp(hostWindow, name, 0);
      }
      hostWindow = nullptr;
      depth = 0;
      objectId = 0;
    }
    return 0;
  }

  bool IsEffectivelyVisible() const override {
    if (!visible) return false;
    ElementNode* parentElement = ElementFromId(parent);
    return parentElement ? parentElement->IsEffectivelyVisible() : true;
  }
  bool IsEffectivelyDisabled() const override {
    if (disabled) return true;
    ElementNode* parentElement = ElementFromId(parent);
    return parentElement ? parentElement->IsEffectivelyDisabled() : !IsWindowEnabled(hostWindow);
  }

  std::function<void(uint32_t)> onMessage;  // runs inside HandleMessage, after logging
  intptr_t lastOtherLParam = 0;
  intptr_t lastOtherWParam = 0;
};

// The messages of the log with the given id, in order.
inline std::vector<uint32_t> CodesFor(ObjectId id) {
  std::vector<uint32_t> codes;
  for (const ReceivedMessage& m : RecordingElement::Log()) {
    if (m.id == id) codes.push_back(m.code);
  }
  return codes;
}
