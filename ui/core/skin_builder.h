#pragma once

#include <cstdint>
#include <string>

#include "ui/core/global_resources.h"
#include "ui/core/markup.h"

namespace ui {

class Box;
class Control;
class Window;

// Turns a skin into a control tree: applies the root element's window
// settings ("Window") or files global definitions ("Global"), creates one
// control per element through the element table, the application's factory
// or the caller's, hands every attribute to the control in document order,
// expands "Include" elements in place and attaches "Event" and
// "BubbledEvent" handlers.
//
// The parsed document stays loaded, so one builder can build the same skin
// again without parsing it (the global skin cache keeps builders for that).
// Controls of a build belong to their parent box; the first control of a
// build without a parent belongs to the caller.
class SkinBuilder {
 public:
  // Nesting beyond these is skipped, so a self-including or absurdly deep
  // skin cannot exhaust the stack.
  static constexpr int kMaxIncludeDepth = 16;
  static constexpr int kMaxElementDepth = 128;
  // "count" and "source" of an Include are read through a buffer of this
  // many units plus the terminator.
  static constexpr size_t kMaxIncludeValue = 499;

  SkinBuilder();
  ~SkinBuilder();
  SkinBuilder(const SkinBuilder&) = delete;
  SkinBuilder& operator=(const SkinBuilder&) = delete;

  // |source| is literal XML when it starts with "<", else a file path
  // (relative paths are read below the resource folder). Null when the skin
  // cannot be loaded or creates no control.
  Control* Create(const std::wstring& source, ControlFactory callback, Window* window, Box* parent);
  // Builds from the document already loaded.
  Control* Build(ControlFactory callback, Window* window, Box* parent);
  // Loads |source| (literal XML or a file path, as Create) without building.
  bool Load(const std::wstring& source);

  // The control of an element name of the fixed table, or null.
  static Control* CreateControlByName(const std::wstring& name);

  // The attribute string of a "Class" element: the attributes other than
  // "name" in document order, without leading blanks.
  static std::wstring ClassAttributeString(const MarkupElement& element);

  const MarkupDocument& document() const { return document_; }

 private:
  Control* CreateInto(const std::wstring& source,
                      ControlFactory callback,
                      Window* window,
                      Control* parent);
  Control* BuildInto(Window* window, Control* parent);
  void ApplyGlobalRoot(const MarkupElement& root);
  void FileDefinitions(const MarkupElement& root);
  void ApplyWindowRoot(const MarkupElement& root, Window* window);
  void DefineWindowClasses(const MarkupElement& root, Window* window);
  // Parses the children of |element| into |parent|; returns the first
  // control made at this level.
  Control* ParseChildren(const MarkupElement& element, Control* parent, Window* window);
  void ExpandInclude(const MarkupElement& element, Control* parent, Window* window);
  void AttachEventElement(const MarkupElement& element, Control* parent, bool bubbled);
  Control* MakeControl(const std::wstring& name);

  MarkupDocument document_;
  ControlFactory callback_;
};

// Applies one attribute of a skin's "Window" root to |window| (size, caption,
// shadow and the rest); unknown names are ignored.
void ApplyWindowAttribute(Window* window, const std::wstring& name, const std::wstring& value);

}  // namespace ui
