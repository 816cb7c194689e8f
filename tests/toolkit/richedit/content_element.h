// An element for the service's tests: it stands in the ObjectRegistry (in front of everything) and
// records every element message 301 it receives, copying the text as the message requires.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/richedit/richedit_routes.h"
#include "toolkit/window/element_messages.h"
#include "toolkit/window/object_registry.h"

class ContentElement : public ElementNode {
 public:
  struct Content {
    intptr_t kind;
    std::wstring text;
    DWORD threadId;  // the thread the message arrived on
  };

  // inRegistry false: the id is registered but the element is not placed in the registry order.
  explicit ContentElement(bool inRegistry = true) {
    objectId = RegisterElementObject(this);
    visible = true;
    depth = 1;
    if (inRegistry) RegistryInsertFront(objectId);
  }
  ~ContentElement() override { Remove(); }
  ContentElement(const ContentElement&) = delete;
  ContentElement& operator=(const ContentElement&) = delete;

  // Takes the element out of the registry the way the toolkit does (message 2, id retired) while
  // the object itself stays, so a test can still look at what it received. Answers the old id.
  ObjectId Remove() {
    ObjectId id = objectId;
    if (int position = RegistryIndexOf(id)) RegistryRemoveWithChildren(position);
    UnregisterObject(id);
    objectId = 0;
    return id;
  }

  intptr_t HandleMessage(uint32_t code, intptr_t a, intptr_t b) override {
    if (code == element_message::kRichEditContent) {
      received.push_back(
          {a, std::wstring(reinterpret_cast<const wchar_t*>(b)), GetCurrentThreadId()});
    }
    return 0;
  }
  bool IsEffectivelyVisible() const override { return true; }
  bool IsEffectivelyDisabled() const override { return false; }

  std::vector<Content> received;
};
