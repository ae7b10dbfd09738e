#include "runtime/standin/page/form_submission.h"

#include "runtime/standin/page/selector.h"
#include "runtime/standin/page/url.h"

namespace cef_standin::page {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Line breaks of a textarea are sent as CR LF.
std::string NormalizeNewlines(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

FormSubmission BuildFormSubmission(const Node& form,
                                   const Node* submitter,
                                   const std::string& base_url) {
  FormSubmission submission;
  std::string action = form.AttributeOr("action");
  std::string method = Upper(form.AttributeOr("method", "GET"));
  std::string target = form.AttributeOr("target");
  if (submitter) {
    action = submitter->AttributeOr("formaction", action);
    method = Upper(submitter->AttributeOr("formmethod", method));
  }
  if (method != "POST")
    method = "GET";
  submission.method = method;
  submission.target = target;

  ForEachDescendant(form, [&](const NodePtr& node) {
    if (!node->IsElement() || node->HasAttribute("disabled"))
      return true;
    const std::string name = node->AttributeOr("name");
    if (name.empty())
      return true;
    if (node->Is("input")) {
      const std::string type = node->InputType();
      if (type == "submit" || type == "image" || type == "button" || type == "reset") {
        if (node.get() == submitter && type == "submit")
          submission.fields.emplace_back(name, node->Value());
        return true;
      }
      if ((type == "checkbox" || type == "radio") && !node->Checked())
        return true;
      submission.fields.emplace_back(name, node->Value());
    } else if (node->Is("button")) {
      if (node.get() == submitter)
        submission.fields.emplace_back(name, node->Value());
    } else if (node->Is("textarea")) {
      submission.fields.emplace_back(name, NormalizeNewlines(node->Value()));
    } else if (node->Is("select")) {
      submission.fields.emplace_back(name, node->Value());
    }
    return true;
  });

  std::string encoded;
  for (const auto& [name, value] : submission.fields) {
    if (!encoded.empty())
      encoded += '&';
    encoded += FormUrlEncode(name) + "=" + FormUrlEncode(value);
  }
  std::string url = ResolveUrl(base_url, action);
  if (method == "GET") {
    const std::size_t hash = url.find('#');
    if (hash != std::string::npos)
      url.resize(hash);
    const std::size_t question = url.find('?');
    if (question != std::string::npos)
      url.resize(question);
    url += "?" + encoded;
  } else {
    submission.body = encoded;
    submission.content_type = "application/x-www-form-urlencoded";
  }
  submission.url = url;
  return submission;
}

}  // namespace cef_standin::page
