#include "capi/Handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace orvanta::capi {

namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::unique_ptr<Component>> live;
  std::uintptr_t last = 0;
};

// Never destroyed: a host may still destroy a handle from an exit handler.
Table& table() {
  static Table* t = new Table;
  return *t;
}

std::uintptr_t key(orvanta_component* handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace

orvanta_component* addHandle(std::unique_ptr<Component> component) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  const std::uintptr_t id = ++t.last;
  t.live.emplace(id, std::move(component));
  return reinterpret_cast<orvanta_component*>(id);
}

// Only the owning thread gets the component, so the lock can be let go before the caller uses
// it: no other thread can remove it meanwhile.
Component* findHandle(orvanta_component* handle, orvanta_error& error) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  const auto found = t.live.find(key(handle));
  if (found == t.live.end()) {
    error = ORVANTA_ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if (found->second->owner != std::this_thread::get_id()) {
    error = ORVANTA_ERROR_WRONG_THREAD;
    return nullptr;
  }
  return found->second.get();
}

std::unique_ptr<Component> removeHandle(orvanta_component* handle) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  auto node = t.live.extract(key(handle));
  return node.empty() ? nullptr : std::move(node.mapped());
}

}  // namespace orvanta::capi
