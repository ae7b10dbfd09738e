#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/standin/page/document.h"

namespace cef_standin {

// One load of a frame in the renderer: the document read from the
// response, the sub-resources (scripts with src, images) fetched for it,
// and what the page's view and script keep. Replaced with the frame's
// next load. Renderer thread only.
class FramePage {
 public:
  FramePage(uint64_t load_id, const std::wstring& url, bool error_page);
  ~FramePage();
  FramePage(const FramePage&) = delete;
  FramePage& operator=(const FramePage&) = delete;

  // Reads the response: HTML as it is, plain text as preformatted text,
  // an image as a page showing it.
  void Load(const std::string& body, const std::wstring& mime_type, const std::wstring& charset);

  uint64_t load_id() const { return load_id_; }
  bool error_page() const { return error_page_; }
  page::Document& document() { return document_; }

  // The addresses still to fetch before scripts run (each once).
  std::vector<std::string> SubresourceUrls() const;
  void AddResource(const std::string& url, std::string bytes);
  // Null when it was not fetched or failed.
  const std::string* Resource(const std::string& url) const;
  int pending_fetches = 0;

 private:
  const uint64_t load_id_;
  const bool error_page_;
  page::Document document_;
  std::map<std::string, std::string> resources_;
};

}  // namespace cef_standin
