#pragma once

// What a form submits: the address, method and body built from its
// controls the way a browser does for application/x-www-form-urlencoded.
// Portable.

#include <string>
#include <utility>
#include <vector>

#include "runtime/standin/page/node.h"

namespace cef_standin::page {

struct FormSubmission {
  // GET: the action with "?query" in place of its query; POST: the action.
  std::string url;
  // "GET" or "POST".
  std::string method;
  // The POST body (empty for GET).
  std::string body;
  // "application/x-www-form-urlencoded" for POST.
  std::string content_type;
  // The form's target attribute ("" is the same frame).
  std::string target;
  // Name and value pairs in tree order, UTF-8, before encoding.
  std::vector<std::pair<std::string, std::string>> fields;
};

// The submission of `form` with `submitter` (a submit button, or null).
// Controls: named inputs (not disabled; checkboxes and radios only when
// checked, "on" without a value; submit buttons only as the submitter;
// file inputs as their chosen file name), textareas and selects. The
// action resolves against `base_url`; an empty action is `base_url`.
FormSubmission BuildFormSubmission(const Node& form,
                                   const Node* submitter,
                                   const std::string& base_url);

}  // namespace cef_standin::page
