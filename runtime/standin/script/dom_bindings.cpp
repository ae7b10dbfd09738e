#include <mutex>
#include <string>
#include <vector>

#include "runtime/standin/script/bindings.h"
#include "runtime/standin/script/js_strings.h"
#include "runtime/standin/script/page_script.h"

// document, elements and their style, bound to the page engine's model.
namespace cef_standin::script {

namespace {

JSClassID g_element_class = 0;
JSClassID g_style_class = 0;

void FinalizeElement(JSRuntime* /*runtime*/, JSValue value) {
  auto* node = static_cast<page::NodePtr*>(JS_GetOpaque(value, g_element_class));
  if (!node)
    return;
  if ((*node)->script_wrapper() == JS_VALUE_GET_PTR(value))
    (*node)->set_script_wrapper(nullptr);
  delete node;
}

void FinalizeStyle(JSRuntime* /*runtime*/, JSValue value) {
  delete static_cast<page::NodePtr*>(JS_GetOpaque(value, g_style_class));
}

PageScript* Script(JSContext* ctx) {
  return PageScript::FromJs(ctx);
}

page::NodePtr ThisNode(JSContext* ctx, JSValueConst this_value) {
  PageScript* script = Script(ctx);
  return script ? script->NodeOf(this_value) : nullptr;
}

JSValue Wrap(JSContext* ctx, const page::NodePtr& node) {
  PageScript* script = Script(ctx);
  return script && node ? script->WrapNode(node) : JS_NULL;
}

JSValue WrapList(JSContext* ctx, const std::vector<page::NodePtr>& nodes) {
  JSValue array = JS_NewArray(ctx);
  uint32_t index = 0;
  for (const page::NodePtr& node : nodes)
    JS_SetPropertyUint32(ctx, array, index++, Wrap(ctx, node));
  return array;
}

// Element properties, by magic number.
enum ElementProperty {
  kId,
  kTagName,
  kNodeName,
  kNodeType,
  kTextContent,
  kInnerHtml,
  kOuterHtml,
  kValue,
  kChecked,
  kParentNode,
  kChildren,
  kChildNodes,
  kFirstChild,
  kStyle,
  kClassName,
  kDisabled,
  kHref,
  kSrc,
  kName,
  kType,
  kOnClick,
  kOnInput,
  kOnChange,
  kOnSubmit,
  kOnFocus,
  kOnBlur,
};

constexpr const char* kHandlerTypes[] = {"click", "input", "change", "submit", "focus", "blur"};

JSValue GetElement(JSContext* ctx, JSValueConst this_value, int, JSValueConst*, int magic) {
  page::NodePtr node = ThisNode(ctx, this_value);
  if (!node)
    return JS_UNDEFINED;
  std::string upper;
  switch (static_cast<ElementProperty>(magic)) {
    case kId:
      return NewUtf8String(ctx, node->id());
    case kTagName:
    case kNodeName:
      if (node->IsText())
        return magic == kNodeName ? JS_NewString(ctx, "#text") : JS_UNDEFINED;
      upper = node->tag_name();
      for (char& c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
      return NewUtf8String(ctx, upper);
    case kNodeType:
      return JS_NewInt32(ctx, node->IsText() ? 3 : 1);
    case kTextContent:
      return NewUtf8String(ctx, node->TextContent());
    case kInnerHtml:
      return NewUtf8String(ctx, node->InnerHtml());
    case kOuterHtml:
      return NewUtf8String(ctx, node->OuterHtml());
    case kValue:
      return NewUtf8String(ctx, node->Value());
    case kChecked:
      return JS_NewBool(ctx, node->Checked());
    case kParentNode:
      return node->parent() ? Wrap(ctx, node->parent()->SharedFromThis()) : JS_NULL;
    case kChildren:
    case kChildNodes: {
      std::vector<page::NodePtr> children;
      for (const page::NodePtr& child : node->children()) {
        if (magic == kChildNodes || child->IsElement())
          children.push_back(child);
      }
      return WrapList(ctx, children);
    }
    case kFirstChild:
      return node->children().empty() ? JS_NULL : Wrap(ctx, node->children().front());
    case kStyle: {
      JSValue style = JS_NewObjectClass(ctx, static_cast<int>(g_style_class));
      if (!JS_IsException(style))
        JS_SetOpaque(style, new page::NodePtr(node));
      return style;
    }
    case kClassName:
      return NewUtf8String(ctx, node->AttributeOr("class"));
    case kDisabled:
      return JS_NewBool(ctx, node->HasAttribute("disabled"));
    case kHref:
    case kSrc: {
      const std::string* value = node->GetAttribute(magic == kHref ? "href" : "src");
      if (!value || !node->document())
        return NewUtf8String(ctx, value ? *value : std::string());
      return NewUtf8String(ctx, node->document()->ResolveUrl(*value));
    }
    case kName:
      return NewUtf8String(ctx, node->AttributeOr("name"));
    case kType:
      return NewUtf8String(ctx, node->Is("input") ? node->InputType() : node->AttributeOr("type"));
    default:
      break;
  }
  if (magic >= kOnClick && magic <= kOnBlur)
    return Script(ctx)->GetHandlerProperty(node.get(), kHandlerTypes[magic - kOnClick]);
  return JS_UNDEFINED;
}

JSValue SetElement(JSContext* ctx,
                   JSValueConst this_value,
                   int argc,
                   JSValueConst* argv,
                   int magic) {
  page::NodePtr node = ThisNode(ctx, this_value);
  if (!node || argc < 1)
    return JS_UNDEFINED;
  const std::string text = ArgUtf8(ctx, argc, argv, 0);
  switch (static_cast<ElementProperty>(magic)) {
    case kId:
      node->SetAttribute("id", text);
      break;
    case kTextContent:
      node->SetTextContent(text);
      break;
    case kInnerHtml:
      node->SetInnerHtml(text);
      break;
    case kValue:
      node->SetValue(text);
      break;
    case kChecked:
      node->SetChecked(JS_ToBool(ctx, argv[0]) > 0);
      break;
    case kClassName:
      node->SetAttribute("class", text);
      break;
    case kDisabled:
      if (JS_ToBool(ctx, argv[0]) > 0)
        node->SetAttribute("disabled", "");
      else
        node->RemoveAttribute("disabled");
      break;
    case kHref:
      node->SetAttribute("href", text);
      break;
    case kSrc:
      node->SetAttribute("src", text);
      break;
    case kName:
      node->SetAttribute("name", text);
      break;
    case kType:
      node->SetAttribute("type", text);
      break;
    default:
      if (magic >= kOnClick && magic <= kOnBlur)
        Script(ctx)->SetHandlerProperty(node.get(), kHandlerTypes[magic - kOnClick], argv[0]);
      break;
  }
  return JS_UNDEFINED;
}

enum ElementMethod {
  kGetAttribute,
  kSetAttribute,
  kRemoveAttribute,
  kHasAttribute,
  kAppendChild,
  kRemoveChild,
  kInsertBefore,
  kAddEventListener,
  kRemoveEventListener,
  kFocus,
  kBlur,
  kClick,
  kSubmit,
  kQuerySelector,
  kQuerySelectorAll,
  kGetElementsByTagName,
  kRemove,
  kMatches,
};

bool CaptureOption(JSContext* ctx, int argc, JSValueConst* argv) {
  if (argc < 3)
    return false;
  if (JS_IsObject(argv[2])) {
    JSValue capture = JS_GetPropertyStr(ctx, argv[2], "capture");
    const bool result = JS_ToBool(ctx, capture) > 0;
    JS_FreeValue(ctx, capture);
    return result;
  }
  return JS_ToBool(ctx, argv[2]) > 0;
}

JSValue CallElement(JSContext* ctx,
                    JSValueConst this_value,
                    int argc,
                    JSValueConst* argv,
                    int magic) {
  PageScript* script = Script(ctx);
  page::NodePtr node = ThisNode(ctx, this_value);
  if (!node || !script)
    return JS_UNDEFINED;
  switch (static_cast<ElementMethod>(magic)) {
    case kGetAttribute: {
      const std::string* value = node->GetAttribute(ArgUtf8(ctx, argc, argv, 0));
      return value ? NewUtf8String(ctx, *value) : JS_NULL;
    }
    case kSetAttribute: {
      const std::string name = ArgUtf8(ctx, argc, argv, 0);
      node->SetAttribute(name, ArgUtf8(ctx, argc, argv, 1));
      // The attribute replaces a handler set as a property.
      if (name.size() > 2 && name.compare(0, 2, "on") == 0)
        script->SetHandlerProperty(node.get(), name.substr(2), JS_NULL);
      return JS_UNDEFINED;
    }
    case kRemoveAttribute:
      node->RemoveAttribute(ArgUtf8(ctx, argc, argv, 0));
      return JS_UNDEFINED;
    case kHasAttribute:
      return JS_NewBool(ctx, node->HasAttribute(ArgUtf8(ctx, argc, argv, 0)));
    case kAppendChild:
    case kInsertBefore: {
      page::NodePtr child = argc > 0 ? script->NodeOf(argv[0]) : nullptr;
      page::NodePtr reference = argc > 1 ? script->NodeOf(argv[1]) : nullptr;
      page::NodePtr added = magic == kAppendChild ? node->AppendChild(child)
                                                  : node->InsertBefore(child, reference.get());
      if (!added)
        return JS_ThrowTypeError(ctx, "The node cannot be inserted here.");
      return JS_DupValue(ctx, argv[0]);
    }
    case kRemoveChild: {
      page::NodePtr child = argc > 0 ? script->NodeOf(argv[0]) : nullptr;
      if (!child || !node->RemoveChild(child.get()))
        return JS_ThrowTypeError(ctx, "The node to be removed is not a child of this node.");
      return JS_DupValue(ctx, argv[0]);
    }
    case kRemove:
      if (node->parent())
        node->parent()->RemoveChild(node.get());
      return JS_UNDEFINED;
    case kAddEventListener:
    case kRemoveEventListener:
      if (argc < 2)
        return JS_UNDEFINED;
      if (magic == kAddEventListener)
        script->AddListener(node.get(), ArgUtf8(ctx, argc, argv, 0), argv[1],
                            CaptureOption(ctx, argc, argv));
      else
        script->RemoveListener(node.get(), ArgUtf8(ctx, argc, argv, 0), argv[1],
                               CaptureOption(ctx, argc, argv));
      return JS_UNDEFINED;
    case kFocus:
      if (node->document())
        node->document()->Focus(node);
      return JS_UNDEFINED;
    case kBlur:
      if (node->document())
        node->document()->Blur(node);
      return JS_UNDEFINED;
    case kClick:
      if (node->document())
        script->ClickFromScript(node);
      return JS_UNDEFINED;
    case kSubmit:
      if (node->document())
        node->document()->Submit(node);
      return JS_UNDEFINED;
    case kQuerySelector:
      return Wrap(ctx, node->QuerySelector(ArgUtf8(ctx, argc, argv, 0)));
    case kQuerySelectorAll:
      return WrapList(ctx, node->QuerySelectorAll(ArgUtf8(ctx, argc, argv, 0)));
    case kGetElementsByTagName: {
      const std::string tag = ArgUtf8(ctx, argc, argv, 0);
      return WrapList(ctx, node->QuerySelectorAll(tag == "*" ? std::string("*") : tag));
    }
    case kMatches:
      return JS_NewBool(ctx, node->Matches(ArgUtf8(ctx, argc, argv, 0)));
  }
  return JS_UNDEFINED;
}

// Style properties as script names them, with their declaration names.
constexpr std::pair<const char*, const char*> kStyleProperties[] = {
    {"display", "display"},
    {"color", "color"},
    {"backgroundColor", "background-color"},
    {"background", "background"},
    {"fontSize", "font-size"},
    {"fontWeight", "font-weight"},
    {"textAlign", "text-align"},
    {"margin", "margin"},
    {"marginTop", "margin-top"},
    {"marginRight", "margin-right"},
    {"marginBottom", "margin-bottom"},
    {"marginLeft", "margin-left"},
    {"padding", "padding"},
    {"paddingTop", "padding-top"},
    {"paddingRight", "padding-right"},
    {"paddingBottom", "padding-bottom"},
    {"paddingLeft", "padding-left"},
    {"width", "width"},
    {"height", "height"},
    {"visibility", "visibility"},
};

page::NodePtr StyleNode(JSValueConst this_value) {
  auto* node = static_cast<page::NodePtr*>(JS_GetOpaque(this_value, g_style_class));
  return node ? *node : nullptr;
}

JSValue GetStyle(JSContext* ctx, JSValueConst this_value, int, JSValueConst*, int magic) {
  page::NodePtr node = StyleNode(this_value);
  return node ? NewUtf8String(ctx, node->GetStyleProperty(kStyleProperties[magic].second))
              : JS_UNDEFINED;
}

JSValue SetStyle(JSContext* ctx, JSValueConst this_value, int argc, JSValueConst* argv, int magic) {
  page::NodePtr node = StyleNode(this_value);
  if (node && argc > 0)
    node->SetStyleProperty(kStyleProperties[magic].second, ArgUtf8(ctx, argc, argv, 0));
  return JS_UNDEFINED;
}

JSValue CallStyle(JSContext* ctx,
                  JSValueConst this_value,
                  int argc,
                  JSValueConst* argv,
                  int magic) {
  page::NodePtr node = StyleNode(this_value);
  if (!node)
    return JS_UNDEFINED;
  const std::string name = ArgUtf8(ctx, argc, argv, 0);
  if (magic == 0)
    return NewUtf8String(ctx, node->GetStyleProperty(name));
  node->SetStyleProperty(name, magic == 1 ? ArgUtf8(ctx, argc, argv, 1) : std::string());
  return JS_UNDEFINED;
}

enum DocumentMember {
  kTitle,
  kBody,
  kHead,
  kDocumentElement,
  kUrlProperty,
  kReadyState,
  kGetElementById,
  kDocQuerySelector,
  kDocQuerySelectorAll,
  kCreateElement,
  kCreateTextNode,
  kDocAddEventListener,
  kDocRemoveEventListener,
  kDocGetElementsByTagName,
};

JSValue GetDocument(JSContext* ctx, JSValueConst, int, JSValueConst*, int magic) {
  PageScript* script = Script(ctx);
  if (!script)
    return JS_UNDEFINED;
  page::Document* document = script->document();
  switch (static_cast<DocumentMember>(magic)) {
    case kTitle:
      return NewUtf8String(ctx, document->Title());
    case kBody:
      return Wrap(ctx, document->body());
    case kHead:
      return Wrap(ctx, document->head());
    case kDocumentElement:
      return Wrap(ctx, document->document_element());
    case kUrlProperty:
      return NewUtf8String(ctx, document->url());
    case kReadyState:
      return JS_NewString(ctx, "complete");
    default:
      return JS_UNDEFINED;
  }
}

JSValue SetDocument(JSContext* ctx, JSValueConst, int argc, JSValueConst* argv, int magic) {
  PageScript* script = Script(ctx);
  if (!script || argc < 1 || magic != kTitle)
    return JS_UNDEFINED;
  const std::string title = ArgUtf8(ctx, argc, argv, 0);
  script->document()->SetTitle(title);
  script->host()->TitleChanged(FromUtf8(script->document()->Title()));
  return JS_UNDEFINED;
}

JSValue CallDocument(JSContext* ctx, JSValueConst, int argc, JSValueConst* argv, int magic) {
  PageScript* script = Script(ctx);
  if (!script)
    return JS_UNDEFINED;
  page::Document* document = script->document();
  const std::string text = ArgUtf8(ctx, argc, argv, 0);
  switch (static_cast<DocumentMember>(magic)) {
    case kGetElementById:
      return Wrap(ctx, document->GetElementById(text));
    case kDocQuerySelector:
      return Wrap(ctx, document->QuerySelector(text));
    case kDocQuerySelectorAll:
    case kDocGetElementsByTagName:
      return WrapList(ctx, document->QuerySelectorAll(text));
    case kCreateElement: {
      std::string tag = text;
      for (char& c : tag)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      page::NodePtr element = tag.empty() ? nullptr : document->CreateElement(tag);
      return element ? Wrap(ctx, element)
                     : JS_ThrowTypeError(ctx, "The tag name is not a valid name.");
    }
    case kCreateTextNode:
      return Wrap(ctx, document->CreateText(text));
    case kDocAddEventListener:
    case kDocRemoveEventListener:
      if (argc < 2)
        return JS_UNDEFINED;
      if (magic == kDocAddEventListener)
        script->AddListener(script->document_key(), text, argv[1], CaptureOption(ctx, argc, argv));
      else
        script->RemoveListener(script->document_key(), text, argv[1],
                               CaptureOption(ctx, argc, argv));
      return JS_UNDEFINED;
    default:
      return JS_UNDEFINED;
  }
}

}  // namespace

JSClassID ElementClass() {
  return g_element_class;
}

bool RegisterDomClasses(JSRuntime* runtime) {
  static std::once_flag once;
  std::call_once(once, [] {
    JS_NewClassID(&g_element_class);
    JS_NewClassID(&g_style_class);
  });
  JSClassDef element = {};
  element.class_name = "HTMLElement";
  element.finalizer = &FinalizeElement;
  JSClassDef style = {};
  style.class_name = "CSSStyleDeclaration";
  style.finalizer = &FinalizeStyle;
  return JS_NewClass(runtime, g_element_class, &element) == 0 &&
         JS_NewClass(runtime, g_style_class, &style) == 0;
}

void InstallDomBindings(JSContext* ctx, JSValueConst global) {
  static constexpr std::pair<const char*, ElementProperty> kProperties[] = {
      {"id", kId},
      {"tagName", kTagName},
      {"nodeName", kNodeName},
      {"nodeType", kNodeType},
      {"textContent", kTextContent},
      {"innerText", kTextContent},
      {"innerHTML", kInnerHtml},
      {"outerHTML", kOuterHtml},
      {"value", kValue},
      {"checked", kChecked},
      {"parentNode", kParentNode},
      {"parentElement", kParentNode},
      {"children", kChildren},
      {"childNodes", kChildNodes},
      {"firstChild", kFirstChild},
      {"style", kStyle},
      {"className", kClassName},
      {"disabled", kDisabled},
      {"href", kHref},
      {"src", kSrc},
      {"name", kName},
      {"type", kType},
      {"onclick", kOnClick},
      {"oninput", kOnInput},
      {"onchange", kOnChange},
      {"onsubmit", kOnSubmit},
      {"onfocus", kOnFocus},
      {"onblur", kOnBlur},
  };
  static constexpr std::pair<const char*, ElementMethod> kMethods[] = {
      {"getAttribute", kGetAttribute},
      {"setAttribute", kSetAttribute},
      {"removeAttribute", kRemoveAttribute},
      {"hasAttribute", kHasAttribute},
      {"appendChild", kAppendChild},
      {"removeChild", kRemoveChild},
      {"insertBefore", kInsertBefore},
      {"addEventListener", kAddEventListener},
      {"removeEventListener", kRemoveEventListener},
      {"focus", kFocus},
      {"blur", kBlur},
      {"click", kClick},
      {"submit", kSubmit},
      {"querySelector", kQuerySelector},
      {"querySelectorAll", kQuerySelectorAll},
      {"getElementsByTagName", kGetElementsByTagName},
      {"remove", kRemove},
      {"matches", kMatches},
  };
  JSValue element_proto = JS_NewObject(ctx);
  for (const auto& [name, property] : kProperties) {
    const bool read_only = property == kTagName || property == kNodeName || property == kNodeType ||
                           property == kOuterHtml || property == kParentNode ||
                           property == kChildren || property == kChildNodes ||
                           property == kFirstChild || property == kStyle;
    DefineAccessor(ctx, element_proto, name, &GetElement, read_only ? nullptr : &SetElement,
                   property);
  }
  for (const auto& [name, method] : kMethods)
    DefineFunction(ctx, element_proto, name, &CallElement, 1, method);
  JS_SetClassProto(ctx, g_element_class, element_proto);

  JSValue style_proto = JS_NewObject(ctx);
  for (int i = 0; i < static_cast<int>(std::size(kStyleProperties)); ++i)
    DefineAccessor(ctx, style_proto, kStyleProperties[i].first, &GetStyle, &SetStyle, i);
  DefineFunction(ctx, style_proto, "getPropertyValue", &CallStyle, 1, 0);
  DefineFunction(ctx, style_proto, "setProperty", &CallStyle, 2, 1);
  DefineFunction(ctx, style_proto, "removeProperty", &CallStyle, 1, 2);
  JS_SetClassProto(ctx, g_style_class, style_proto);

  JSValue document = JS_NewObject(ctx);
  DefineAccessor(ctx, document, "title", &GetDocument, &SetDocument, kTitle);
  DefineAccessor(ctx, document, "body", &GetDocument, nullptr, kBody);
  DefineAccessor(ctx, document, "head", &GetDocument, nullptr, kHead);
  DefineAccessor(ctx, document, "documentElement", &GetDocument, nullptr, kDocumentElement);
  DefineAccessor(ctx, document, "URL", &GetDocument, nullptr, kUrlProperty);
  DefineAccessor(ctx, document, "readyState", &GetDocument, nullptr, kReadyState);
  DefineFunction(ctx, document, "getElementById", &CallDocument, 1, kGetElementById);
  DefineFunction(ctx, document, "querySelector", &CallDocument, 1, kDocQuerySelector);
  DefineFunction(ctx, document, "querySelectorAll", &CallDocument, 1, kDocQuerySelectorAll);
  DefineFunction(ctx, document, "getElementsByTagName", &CallDocument, 1, kDocGetElementsByTagName);
  DefineFunction(ctx, document, "createElement", &CallDocument, 1, kCreateElement);
  DefineFunction(ctx, document, "createTextNode", &CallDocument, 1, kCreateTextNode);
  DefineFunction(ctx, document, "addEventListener", &CallDocument, 2, kDocAddEventListener);
  DefineFunction(ctx, document, "removeEventListener", &CallDocument, 2, kDocRemoveEventListener);
  JS_DefinePropertyValueStr(ctx, global, "document", document,
                            JS_PROP_WRITABLE | JS_PROP_CONFIGURABLE);
}

}  // namespace cef_standin::script
