#include "ui/render/gdiplus_session.h"

#include "ui/render/gdiplus_api.h"

namespace ui {

GdiplusSession::GdiplusSession() {
  gdip::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = FALSE;
  input.SuppressExternalCodecs = FALSE;
  ULONG_PTR token = 0;
  started_ = gdip::GdiplusStartup(&token, &input, nullptr) == gdip::Ok;
  token_ = token;
}

GdiplusSession::~GdiplusSession() {
  if (started_)
    gdip::GdiplusShutdown(token_);
}

}  // namespace ui
