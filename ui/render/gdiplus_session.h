#pragma once

#include <cstdint>

namespace ui {

// Keeps GDI+ started for its lifetime (GdiplusStartup with the default
// input: version 1, no debug callback, background thread allowed).
class GdiplusSession {
 public:
  GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession();

  bool started() const { return started_; }

 private:
  uintptr_t token_ = 0;
  bool started_ = false;
};

}  // namespace ui
