#include "ui/core/skin_builder.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <utility>
#include <vector>

#include "ui/control/box.h"
#include "ui/control/button.h"
#include "ui/control/control.h"
#include "ui/control/label.h"
#include "ui/control/rich_edit.h"
#include "ui/control/skin_event_handler.h"
#include "ui/core/window.h"

namespace ui {

namespace {

constexpr int32_t kDefaultFontSize = 12;

// Builds nest through Include (a fresh builder per included file) and
// through the element tree; both are bounded per thread.
struct Nesting {
  // Normalised paths of the files being built, outermost first.
  std::vector<std::wstring> files;
  int element_depth = 0;
};

Nesting& nesting() {
  thread_local Nesting instance;
  return instance;
}

class ScopedDepth {
 public:
  explicit ScopedDepth(int* depth) : depth_(depth) { ++*depth_; }
  ~ScopedDepth() { --*depth_; }
  ScopedDepth(const ScopedDepth&) = delete;
  ScopedDepth& operator=(const ScopedDepth&) = delete;

 private:
  int* depth_;
};

std::wstring Text(const MarkupChar* text) {
  return text ? std::wstring(text) : std::wstring();
}

std::wstring NameOf(const MarkupElement& element) {
  return Text(element.Name());
}

bool IsTrue(const std::wstring& value) {
  return value == L"true";
}

bool IsDefinition(const std::wstring& name) {
  return name == L"Image" || name == L"Font" || name == L"Class" || name == L"TextColor";
}

// Calls |visit| (name, value) for every attribute in document order.
template <typename Visitor>
void ForEachAttribute(const MarkupElement& element, Visitor visit) {
  const int count = element.AttributeCount();
  for (int i = 0; i < count; ++i)
    visit(Text(element.AttributeName(i)), Text(element.AttributeValue(i)));
}

// The value of the first attribute |name|, cut as the reader's buffer cuts
// it; false when there is none.
bool FindValue(const MarkupElement& element, const wchar_t* name, std::wstring* value) {
  MarkupChar buffer[MarkupElement::kValueBufferSize] = {};
  if (!element.FindAttribute(name, buffer))
    return false;
  *value = buffer;
  return true;
}

std::wstring FileKey(const std::wstring& path) {
  std::wstring key = GlobalResources::NormalizeImagePath(path);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return key;
}

// Splits at blanks; runs of blanks count as one.
std::vector<std::wstring> SplitAtBlanks(const std::wstring& text) {
  std::vector<std::wstring> pieces;
  size_t position = 0;
  while (position < text.size()) {
    const size_t begin = text.find_first_not_of(L' ', position);
    if (begin == std::wstring::npos)
      break;
    const size_t end = std::min(text.find(L' ', begin), text.size());
    pieces.push_back(text.substr(begin, end - begin));
    position = end;
  }
  return pieces;
}

void DefineFont(const MarkupElement& element) {
  std::wstring id;
  std::wstring face;
  int32_t size = kDefaultFontSize;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  bool make_default = false;
  ForEachAttribute(element, [&](const std::wstring& name, const std::wstring& value) {
    if (name == L"id")
      id = value;
    else if (name == L"name")
      face = value;
    else if (name == L"size")
      size = static_cast<int32_t>(std::wcstol(value.c_str(), nullptr, 10));
    else if (name == L"bold")
      bold = IsTrue(value);
    else if (name == L"underline")
      underline = IsTrue(value);
    else if (name == L"italic")
      italic = IsTrue(value);
    else if (name == L"default")
      make_default = IsTrue(value);
  });
  if (!face.empty())
    GlobalResources::DefineFont(id, face, size, bold, underline, italic, make_default);
}

std::wstring ClassName(const MarkupElement& element) {
  std::wstring name;
  FindValue(element, L"name", &name);
  return name;
}

void DefineColor(const MarkupElement& element) {
  std::wstring name;
  std::wstring value;
  ForEachAttribute(element, [&](const std::wstring& attribute, const std::wstring& text) {
    if (attribute == L"name")
      name = text;
    else if (attribute == L"value")
      value = text;
  });
  if (name.empty())
    return;
  // The first character is the "#" of "#AARRGGBB", whatever it is.
  const wchar_t* digits = value.empty() ? L"" : value.c_str() + 1;
  GlobalResources::DefineColor(name, static_cast<uint32_t>(std::wcstoul(digits, nullptr, 16)));
}

}  // namespace

SkinBuilder::SkinBuilder() = default;

SkinBuilder::~SkinBuilder() = default;

Control* SkinBuilder::Create(const std::wstring& source,
                             ControlFactory callback,
                             Window* window,
                             Box* parent) {
  return CreateInto(source, std::move(callback), window, parent);
}

Control* SkinBuilder::CreateInto(const std::wstring& source,
                                 ControlFactory callback,
                                 Window* window,
                                 Control* parent) {
  callback_ = std::move(callback);
  const bool literal = !source.empty() && source[0] == L'<';
  if (literal)
    return Load(source) ? BuildInto(window, parent) : nullptr;

  // A file that is already being built includes itself: it adds nothing.
  Nesting& state = nesting();
  const std::wstring key = FileKey(source);
  if (state.files.size() >= static_cast<size_t>(kMaxIncludeDepth) ||
      std::find(state.files.begin(), state.files.end(), key) != state.files.end()) {
    return nullptr;
  }
  if (!Load(source))
    return nullptr;
  state.files.push_back(key);
  Control* result = BuildInto(window, parent);
  state.files.pop_back();
  return result;
}

bool SkinBuilder::Load(const std::wstring& source) {
  if (!source.empty() && source[0] == L'<')
    return document_.LoadFromString(source.c_str());
  return document_.LoadFromFile(source.c_str());
}

Control* SkinBuilder::Build(ControlFactory callback, Window* window, Box* parent) {
  callback_ = std::move(callback);
  return BuildInto(window, parent);
}

Control* SkinBuilder::BuildInto(Window* window, Control* parent) {
  const MarkupElement root = document_.Root();
  if (!root.IsValid())
    return nullptr;
  if (window) {
    const std::wstring root_name = NameOf(root);
    if (root_name == L"Global") {
      ApplyGlobalRoot(root);
      FileDefinitions(root);
    } else if (root_name == L"Window") {
      if (window->GetHWND())
        ApplyWindowRoot(root, window);
      DefineWindowClasses(root, window);
    }
  }
  bool has_content = false;
  for (MarkupElement child = root.FirstChild(); child.IsValid(); child = child.NextSibling()) {
    if (!IsDefinition(NameOf(child))) {
      has_content = true;
      break;
    }
  }
  if (!has_content)
    return nullptr;
  return ParseChildren(root, parent, window);
}

void SkinBuilder::ApplyGlobalRoot(const MarkupElement& root) {
  ForEachAttribute(root, [](const std::wstring& name, const std::wstring& value) {
    if (name == L"disabledfontcolor") {
      GlobalResources::SetDisabledTextColorName(value);
    } else if (name == L"defaultfontcolor") {
      GlobalResources::SetDefaultTextColorName(value);
    } else if (name == L"linkfontcolor" || name == L"linkhoverfontcolor" ||
               name == L"selectedcolor") {
      // Only looked up, which enters the name in the colour table.
      GlobalResources::ColorByName(value);
    }
  });
}

void SkinBuilder::FileDefinitions(const MarkupElement& root) {
  for (MarkupElement child = root.FirstChild(); child.IsValid(); child = child.NextSibling()) {
    const std::wstring name = NameOf(child);
    if (name == L"Font") {
      DefineFont(child);
    } else if (name == L"Class") {
      const std::wstring class_name = ClassName(child);
      if (!class_name.empty())
        GlobalResources::DefineClass(class_name, ClassAttributeString(child));
    } else if (name == L"TextColor") {
      DefineColor(child);
    }
  }
}

void SkinBuilder::ApplyWindowRoot(const MarkupElement& root, Window* window) {
  ForEachAttribute(root, [window](const std::wstring& name, const std::wstring& value) {
    ApplyWindowAttribute(window, name, value);
  });
}

void SkinBuilder::DefineWindowClasses(const MarkupElement& root, Window* window) {
  for (MarkupElement child = root.FirstChild(); child.IsValid(); child = child.NextSibling()) {
    if (NameOf(child) != L"Class")
      continue;
    const std::wstring class_name = ClassName(child);
    if (!class_name.empty())
      window->DefineWindowClass(class_name, ClassAttributeString(child));
  }
}

std::wstring SkinBuilder::ClassAttributeString(const MarkupElement& element) {
  std::wstring attributes;
  ForEachAttribute(element, [&](const std::wstring& name, const std::wstring& value) {
    if (name == L"name")
      return;
    if (name == L"value")
      attributes += value;
    else if (name == L"_value")
      attributes += L" value=\"" + value + L"\"";
    else
      attributes += L" " + name + L"=\"" + value + L"\"";
  });
  size_t begin = 0;
  while (begin < attributes.size() && (attributes[begin] == L' ' || attributes[begin] <= 29))
    ++begin;
  return attributes.substr(begin);
}

Control* SkinBuilder::MakeControl(const std::wstring& name) {
  if (Control* control = CreateControlByName(name))
    return control;
  if (const ControlFactory& factory = GlobalResources::CustomControlFactory()) {
    if (Control* control = factory(name))
      return control;
  }
  return callback_ ? callback_(name) : nullptr;
}

Control* SkinBuilder::ParseChildren(const MarkupElement& element, Control* parent, Window* window) {
  Nesting& state = nesting();
  if (state.element_depth >= kMaxElementDepth)
    return nullptr;
  ScopedDepth depth(&state.element_depth);

  Control* result = nullptr;
  for (MarkupElement child = element.FirstChild(); child.IsValid(); child = child.NextSibling()) {
    const std::wstring name = NameOf(child);
    if (IsDefinition(name))
      continue;
    if (name == L"Include") {
      ExpandInclude(child, parent, window);
      continue;
    }
    Control* control = CreateControlByName(name);
    if (!control && (name == L"Event" || name == L"BubbledEvent")) {
      AttachEventElement(child, parent, name == L"BubbledEvent");
      continue;
    }
    if (!control)
      control = MakeControl(name);
    if (!control)
      continue;

    control->SetWindow(window);
    ForEachAttribute(child, [control](const std::wstring& attribute, const std::wstring& value) {
      control->ApplyAttribute(attribute, value);
    });
    if (child.HasChildren())
      ParseChildren(child, control, window);

    if (parent) {
      Box* box = dynamic_cast<Box*>(parent);
      if (!box) {
        // Nothing can own it: a control cannot hold children.
        delete control;
        return nullptr;
      }
      if (!box->Add(control)) {
        delete control;
        continue;
      }
    } else if (result) {
      // Only the first parentless control goes to the caller; the others
      // would belong to nobody.
      delete control;
      continue;
    }
    if (!result)
      result = control;
  }
  return result;
}

void SkinBuilder::ExpandInclude(const MarkupElement& element, Control* parent, Window* window) {
  std::wstring source;
  if (!FindValue(element, L"source", &source))
    return;
  std::wstring count_text;
  const int count = FindValue(element, L"count", &count_text)
                        ? static_cast<int>(std::wcstol(count_text.c_str(), nullptr, 10))
                        : 1;
  for (int i = 0; i < count; ++i) {
    SkinBuilder included;
    Control* made = included.CreateInto(source, callback_, window, parent);
    // Without a parent nothing would own what the included file made.
    if (!parent)
      delete made;
  }
}

void SkinBuilder::AttachEventElement(const MarkupElement& element, Control* parent, bool bubbled) {
  if (!parent)
    return;
  Box* box = dynamic_cast<Box*>(parent);
  if (bubbled && !box)
    return;
  std::wstring types;
  std::wstring receivers;
  std::wstring attributes;
  ForEachAttribute(element, [&](const std::wstring& name, const std::wstring& value) {
    if (name == L"type")
      types = value;
    else if (name == L"receiver")
      receivers = value;
    else if (name == L"applyattribute")
      attributes = value;
  });
  for (const std::wstring& type_name : SplitAtBlanks(types)) {
    const EventType type = EventTypeFromName(type_name);
    for (const std::wstring& receiver : SplitAtBlanks(receivers)) {
      EventHandler handler = MakeSkinEventHandler(parent, receiver, attributes);
      if (bubbled)
        box->AttachXmlBubbledEvent(type, std::move(handler));
      else
        parent->AttachXmlEvent(type, std::move(handler));
    }
  }
}

Control* SkinBuilder::CreateControlByName(const std::wstring& name) {
  // Elements of controls that do not exist yet join this table with them.
  if (name == L"Control")
    return new Control();
  if (name == L"Label")
    return new Label();
  if (name == L"Button")
    return new Button();
  if (name == L"Box")
    return new Box();
  if (name == L"HBox")
    return new HBox();
  if (name == L"VBox")
    return new VBox();
  if (name == L"TileBox")
    return new TileBox();
  if (name == L"LabelBox")
    return new LabelBox();
  if (name == L"ButtonBox")
    return new ButtonBox();
  if (name == L"RichEdit")
    return new RichEdit();
  return nullptr;
}

}  // namespace ui
