// Arbitrary bytes must never crash the page reader, and what it builds must
// serialise to markup that reads back to the same tree: the reader's
// repairs (implied end tags, depth and size limits) are stable.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/standin/page/document.h"
#include "runtime/standin/page/form_submission.h"

namespace {

using cef_standin::page::Document;
using cef_standin::page::NodePtr;

std::string Serialized(const Document& document) {
  return document.document_element()->InnerHtml();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Document first("http://host/dir/page.html");
  first.Load(bytes, {});
  const std::string printed = Serialized(first);

  Document second("http://host/dir/page.html");
  second.LoadUtf8(printed);
  if (Serialized(second) != printed)
    std::abort();

  // The model's readers on whatever came out.
  (void)first.Title();
  for (const NodePtr& form : first.QuerySelectorAll("form"))
    (void)cef_standin::page::BuildFormSubmission(*form, nullptr, first.BaseUrl());
  for (const NodePtr& node : first.QuerySelectorAll("a[href], img, div.x span"))
    (void)first.ResolveUrl(node->AttributeOr("href"));
  if (NodePtr body = first.body())
    body->SetInnerHtml(body->InnerHtml());
  return 0;
}
