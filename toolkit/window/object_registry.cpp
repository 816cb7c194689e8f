#include "toolkit/window/object_registry.h"

#include <algorithm>
#include <unordered_map>

#include "toolkit/window/element_messages.h"

// Identity and order only: nothing here calls the Windows API.

namespace {

struct Identity {
  ObjectId lastWindowId = 0;   // counts down: -1, -2, ...
  ObjectId lastElementId = 0;  // counts up: 1, 2, ...
  std::unordered_map<ObjectId, SkinWindow*> windows;
  std::unordered_map<ObjectId, ElementNode*> elements;
};

Identity& Ids() {
  static auto* ids = new Identity();  // lives until the process ends: ids may be read during teardown
  return *ids;
}

// Front to back; index 0 is registry position 1.
std::vector<ObjectId>& Order() {
  static auto* order = new std::vector<ObjectId>();
  return *order;
}

bool ValidPosition(int position) { return position >= 1 && position <= static_cast<int>(Order().size()); }

}  // namespace

// ---- Identity ---------------------------------------------------------------------------------

ObjectId RegisterWindowObject(SkinWindow* window) {
  ObjectId id = --Ids().lastWindowId;
  Ids().windows[id] = window;
  return id;
}

ObjectId RegisterElementObject(ElementNode* element) {
  ObjectId id = ++Ids().lastElementId;
  Ids().elements[id] = element;
  return id;
}

void UnregisterObject(ObjectId id) {
  if (id < 0) Ids().windows.erase(id);
  if (id > 0) Ids().elements.erase(id);
}

SkinWindow* WindowFromId(ObjectId id) {
  if (id >= 0) return nullptr;
  auto found = Ids().windows.find(id);
  return found == Ids().windows.end() ? nullptr : found->second;
}

ElementNode* ElementFromId(ObjectId id) {
  if (id <= 0) return nullptr;
  auto found = Ids().elements.find(id);
  return found == Ids().elements.end() ? nullptr : found->second;
}

int32_t DepthOf(ObjectId id) {
  ElementNode* element = ElementFromId(id);
  return element ? element->depth : 0;
}

// ---- Order ------------------------------------------------------------------------------------

int RegistryCount() { return static_cast<int>(Order().size()); }

int RegistryIndexOf(ObjectId id) {
  if (id == 0) return 0;
  auto& order = Order();
  auto found = std::find(order.begin(), order.end(), id);
  return found == order.end() ? 0 : static_cast<int>(found - order.begin()) + 1;
}

ObjectId RegistryAt(int position) { return ValidPosition(position) ? Order()[position - 1] : 0; }

void RegistryInsertFront(ObjectId id) { Order().insert(Order().begin(), id); }

void RegistryInsertAt(int position, ObjectId id) {
  auto& order = Order();
  int index = std::clamp(position, 1, static_cast<int>(order.size()) + 1) - 1;
  order.insert(order.begin() + index, id);
}

int RegistryRemoveWithChildren(int position) {
  if (!ValidPosition(position)) return 0;
  auto& order = Order();
  const int countBefore = static_cast<int>(order.size());

  // The block: the entry and the deeper entries directly in front of it, front-most first.
  const int32_t ownDepth = DepthOf(order[position - 1]);
  int front = position;
  while (front > 1 && DepthOf(order[front - 2]) > ownDepth) --front;
  std::vector<ObjectId> block(order.begin() + (front - 1), order.begin() + position);

  // An element may remove entries (even members of this block) while it handles kDestroyed, so
  // the block is followed by id, not by position, and each member is told only while still listed.
  for (ObjectId id : block) {
    if (RegistryIndexOf(id) != 0) SendElementMessage(id, element_message::kDestroyed, 0, 0);
  }
  for (ObjectId id : block) {
    int at = RegistryIndexOf(id);
    if (at != 0) order.erase(order.begin() + (at - 1));
    // A removed element's id must not reach it any more; the element may be created again and
    // then gets a fresh id. Window ids are retired by the window itself.
    if (id > 0) UnregisterObject(id);
  }
  return countBefore - static_cast<int>(order.size());
}

std::vector<ObjectId> RegistryCutBlock(int position, int count) {
  auto& order = Order();
  if (!ValidPosition(position) || count <= 0) return {};
  int end = std::min(position - 1 + count, static_cast<int>(order.size()));
  std::vector<ObjectId> block(order.begin() + (position - 1), order.begin() + end);
  order.erase(order.begin() + (position - 1), order.begin() + end);
  return block;
}

void RegistryInsertBlock(int position, const std::vector<ObjectId>& block) {
  auto& order = Order();
  int index = std::clamp(position, 1, static_cast<int>(order.size()) + 1) - 1;
  order.insert(order.begin() + index, block.begin(), block.end());
}
