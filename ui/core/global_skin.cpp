// The global resources' use of the skin builder: "global.xml" and the cache
// of parsed sub-skins.

#include <map>
#include <memory>
#include <utility>

#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"

namespace ui {

namespace {

std::map<std::wstring, std::unique_ptr<SkinBuilder>>& skin_cache() {
  // Cached skins live until the process ends.
  static auto* const cache = new std::map<std::wstring, std::unique_ptr<SkinBuilder>>();
  return *cache;
}

}  // namespace

void GlobalResources::LoadGlobalSkin() {
  // A window without a native window receives the definitions' side of the
  // build and nothing else.
  Window window;
  SkinBuilder builder;
  delete builder.Create(kGlobalSkinFile, nullptr, &window, nullptr);
}

Control* GlobalResources::BuildFromSkinFile(const std::wstring& path, ControlFactory factory) {
  auto& cache = skin_cache();
  auto found = cache.find(path);
  if (found != cache.end())
    return found->second->Build(std::move(factory), nullptr, nullptr);
  auto builder = std::make_unique<SkinBuilder>();
  Control* control = builder->Create(path, std::move(factory), nullptr, nullptr);
  if (control)
    cache[path] = std::move(builder);
  return control;
}

}  // namespace ui
