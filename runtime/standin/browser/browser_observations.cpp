#include "runtime/standin/browser/browser_observations.h"

#include <utility>

namespace cef_standin {

namespace {
// Old records go first once this many are kept.
constexpr size_t kMaxRecords = 1000;
}  // namespace

BrowserObservations& BrowserObservations::Get() {
  static BrowserObservations* observations = new BrowserObservations;
  return *observations;
}

void BrowserObservations::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  navigations_.clear();
  focused_.clear();
  editable_.clear();
  dialogs_.clear();
  downloads_.clear();
  inputs_.clear();
}

void BrowserObservations::RecordInput(int browser_id, const Input& input) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Input>& inputs = inputs_[browser_id];
  if (inputs.size() >= kMaxRecords)
    inputs.erase(inputs.begin());
  inputs.push_back(input);
}

std::vector<BrowserObservations::Input> BrowserObservations::Inputs(int browser_id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = inputs_.find(browser_id);
  return found == inputs_.end() ? std::vector<Input>() : found->second;
}

void BrowserObservations::RecordNavigation(Navigation navigation) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (navigations_.size() >= kMaxRecords)
    navigations_.erase(navigations_.begin());
  navigations_.push_back(std::move(navigation));
}

void BrowserObservations::MarkRefused(int browser_id, const std::wstring& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = navigations_.rbegin(); it != navigations_.rend(); ++it) {
    if (it->browser_id == browser_id && it->url == url) {
      it->refused = true;
      return;
    }
  }
}

std::vector<BrowserObservations::Navigation> BrowserObservations::Navigations() {
  std::lock_guard<std::mutex> lock(mutex_);
  return navigations_;
}

void BrowserObservations::RecordFocus(int browser_id, bool focused) {
  std::lock_guard<std::mutex> lock(mutex_);
  focused_[browser_id] = focused;
}

bool BrowserObservations::Focused(int browser_id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = focused_.find(browser_id);
  return found != focused_.end() && found->second;
}

void BrowserObservations::RecordEditableFocus(int browser_id, bool editable) {
  std::lock_guard<std::mutex> lock(mutex_);
  editable_[browser_id] = editable;
}

bool BrowserObservations::FocusOnEditable(int browser_id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = editable_.find(browser_id);
  return found != editable_.end() && found->second;
}

void BrowserObservations::RecordDialog(Dialog dialog) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (dialogs_.size() >= kMaxRecords)
    dialogs_.erase(dialogs_.begin());
  dialogs_.push_back(std::move(dialog));
}

std::vector<BrowserObservations::Dialog> BrowserObservations::Dialogs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return dialogs_;
}

void BrowserObservations::UpdateDownload(const Download& download) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (Download& known : downloads_) {
    if (known.id == download.id) {
      known = download;
      return;
    }
  }
  downloads_.push_back(download);
}

std::vector<BrowserObservations::Download> BrowserObservations::Downloads() {
  std::lock_guard<std::mutex> lock(mutex_);
  return downloads_;
}

}  // namespace cef_standin
