#pragma once

#include <cstddef>
#include <string>

// The texts the browser sample takes from its user and its page.
namespace browser_sample {

// The address to load for what was typed into the address bar: trimmed,
// and read as a web address ("http://") when it names no scheme. Empty for
// an empty or blank entry, which loads nothing.
std::wstring AddressFromTyped(const std::wstring& typed);

// The text to show for the parameter JSON of a page's message call: the
// decoded string when the page passed one, else the JSON text as it came
// (an object, a number, or something that is not JSON at all).
std::wstring MessageFromJson(const std::string& json);

// The answer the page's callback receives once a message of |length|
// characters is shown.
std::string MessageShownReply(size_t length);

}  // namespace browser_sample
