#pragma once

#include <functional>
#include <string>

namespace cef_standin {

class BrowserHostImpl;

// UI thread: a page's file input asks for a file. The client's
// OnFileDialog may answer through its callback; otherwise the system's
// open dialog runs. `done` gets the path, empty when cancelled, once.
void RunFileDialog(BrowserHostImpl& browser, std::function<void(std::wstring path)> done);

}  // namespace cef_standin
