#pragma once

#include <string>

#include "ui/control/box.h"

namespace ui {

// A box whose content is built from another skin file ("xmlfile") each
// time it is attached to a window, through the global skin cache.
class ChildBox : public Box {
 public:
  ChildBox();

  // Builds the skin file; replaces the base Init, so OnInit does not run.
  void Init() override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  const std::wstring& GetChildXmlFile() const { return xml_file_; }
  // Takes effect at the next Init.
  void SetChildXmlFile(const std::wstring& path) { xml_file_ = path; }

 private:
  std::wstring xml_file_;
};

}  // namespace ui
