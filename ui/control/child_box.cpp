#include "ui/control/child_box.h"

#include <algorithm>
#include <vector>

#include "ui/core/global_resources.h"

namespace ui {

namespace {

// The skin files whose child boxes are being built on this thread, outermost
// first. The content of a child box is attached (and so initialised) while
// its own build is still running, so a skin that includes itself, directly
// or through others, would build for ever without this.
std::vector<std::wstring>& FilesInBuild() {
  thread_local std::vector<std::wstring> files;
  return files;
}

class ScopedBuild {
 public:
  explicit ScopedBuild(const std::wstring& file) { FilesInBuild().push_back(file); }
  ~ScopedBuild() { FilesInBuild().pop_back(); }
  ScopedBuild(const ScopedBuild&) = delete;
  ScopedBuild& operator=(const ScopedBuild&) = delete;
};

bool IsInBuild(const std::wstring& file) {
  const std::vector<std::wstring>& files = FilesInBuild();
  return std::find(files.begin(), files.end(), file) != files.end();
}

}  // namespace

ChildBox::ChildBox() = default;

void ChildBox::Init() {
  if (xml_file_.empty())
    return;
  const std::wstring file = GlobalResources::NormalizeImagePath(xml_file_);
  Control* root = nullptr;
  if (!IsInBuild(file)) {
    ScopedBuild build(file);
    root = GlobalResources::BuildFromSkinFile(xml_file_, nullptr);
    // A second attachment builds anew: the content of the first goes, so
    // that it is never shown twice.
    RemoveAll();
    if (root && !Add(root))
      delete root;
    return;
  }
  RemoveAll();
}

void ChildBox::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"xmlfile")
    xml_file_ = value;
  else
    Box::ApplyAttribute(name, value);
}

}  // namespace ui
