#pragma once

// The tolerant markup reader: turns UTF-8 markup into nodes. It never
// fails: unknown tags become plain containers, stray end tags are dropped,
// p and li close themselves, void elements take no children, everything
// still open is closed at the end. Nesting stops at Document::kMaxDepth
// and the node count at Document::kMaxNodes. Portable.

#include <string>
#include <string_view>

#include "runtime/standin/page/node.h"

namespace cef_standin::page {

// Reads `markup` into `root` (whose children are replaced). With
// `Mode::kDocument` the result is html > head + body under `root` (an
// html element); with `Mode::kFragment` the nodes go straight under `root`.
enum class ReaderMode { kDocument, kFragment };
void ReadHtml(std::string_view markup, Node& root, ReaderMode mode);

// Serialises the children of `node` as markup (text escaped, attributes
// quoted, void elements without end tags).
std::string SerializeChildren(const Node& node);
std::string SerializeNode(const Node& node);

// Element kinds the reader and layout need to know.
bool IsVoidElement(std::string_view tag);
bool IsRawTextElement(std::string_view tag);

// Decodes character references in `text` ("&amp;", "&#233;", "&#xE9;";
// the common named ones; unknown ones stay as written) and appends UTF-8.
void AppendDecodedReferences(std::string_view text, std::string& out);

}  // namespace cef_standin::page
