#include "runtime/standin/browser/browser_registry.h"

#include <utility>

#include "runtime/standin/browser/browser_host_impl.h"

namespace cef_standin {

BrowserRegistry& BrowserRegistry::Get() {
  // Never destroyed, like the runtime context.
  static BrowserRegistry* registry = new BrowserRegistry;
  return *registry;
}

int BrowserRegistry::NextIdentifier() {
  std::lock_guard<std::mutex> lock(mutex_);
  return next_id_++;
}

void BrowserRegistry::Add(int id, CefRefPtr<BrowserHostImpl> browser) {
  std::lock_guard<std::mutex> lock(mutex_);
  browsers_[id] = std::move(browser);
}

void BrowserRegistry::Remove(int id) {
  CefRefPtr<BrowserHostImpl> removed;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = browsers_.find(id);
  if (found == browsers_.end())
    return;
  removed = found->second;
  browsers_.erase(found);
}

CefRefPtr<BrowserHostImpl> BrowserRegistry::Find(int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = browsers_.find(id);
  return found == browsers_.end() ? nullptr : found->second;
}

std::vector<CefRefPtr<BrowserHostImpl>> BrowserRegistry::All() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<CefRefPtr<BrowserHostImpl>> all;
  for (const auto& entry : browsers_)
    all.push_back(entry.second);
  return all;
}

}  // namespace cef_standin
