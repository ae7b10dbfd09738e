#include <windows.h>

#include <shlwapi.h>

#include "ui/control/image_spec.h"
#include "ui/core/global_resources.h"
#include "ui/core/image_info.h"

namespace ui {

bool ImageSpec::ResolveAndLoad(const std::wstring& skin_folder) {
  if (image)
    return true;
  if (fileName.empty())
    return false;
  std::wstring path = fileName;
  if (PathIsRelativeW(path.c_str()))
    path = GlobalResources::ResourceFolder() + skin_folder + path;
  image = GlobalResources::LoadImageCached(path);
  return image != nullptr;
}

}  // namespace ui
