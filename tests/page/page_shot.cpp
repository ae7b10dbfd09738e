// Renders a page with the page view and saves it as a PNG, to look at how
// pages come out: page_shot.exe OUT.png [PAGE.html [WIDTH HEIGHT]]
// Without a page, a sample login page is drawn. Images the page asks for
// get a generated gradient picture.

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM types GDI+ declares with.
#include <objidl.h>

#include <gdiplus.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/standin/page/page_view.h"

namespace {

using namespace cef_standin::page;

const char kSample[] = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Qelmora</title></head>
<body style="background:#f4f6fa">
<div style="width:420px; margin:24px auto; background:#ffffff; padding:20px 28px">
<img src="logo.bmp" width="64" height="64" alt="logo">
<h1 style="color:#1a3b6e">Qelmora &mdash; 登录</h1>
<p>Welcome back! 欢迎回来，请输入您的账号和密码。 Read the <a href="/rules">rules</a>
or <a href="/help">get help</a>.</p>
<form action="/login" method="post">
<p><label>Account 账号<br><input name="user" size="30" value="player_one"></label></p>
<p><label>Password 密码<br><input type="password" name="pass" size="30" value="secret"></label></p>
<p><input type="checkbox" name="remember" checked> Remember me
<select name="server"><option>Server 1 (华东)</option><option>Server 2</option></select></p>
<p><input type="submit" value="Log in 登录"> <button type="button">Cancel</button></p>
</form>
<hr>
<ul><li>News: the <b>winter event</b> starts on <i>Friday</i>.</li>
<li>服务器维护时间：每周二 06:00-08:00</li></ul>
<p style="text-align:center; font-size:12px; color:#777">&copy; 2026 Qelmora</p>
</div></body></html>)";

class QuietDelegate : public ViewDelegate {
 public:
  void OnNavigate(const NavigationRequest&) override {}
  void OnFocusedNodeChanged(const NodePtr&) override {}
  void OnCursorChanged(CursorKind) override {}
  void OnInvalidate(const Rect&) override {}
  void OnImagesNeeded(const std::vector<std::string>& urls) override {
    needed.insert(needed.end(), urls.begin(), urls.end());
  }
  void OnFileChooserRequested(const NodePtr&) override {}
  std::vector<std::string> needed;
};

// A 64x64 24-bit BMP with a blue-green gradient and a light disc.
std::string GradientBmp() {
  const int size = 64;
  const int row = size * 3;
  std::string bmp(54 + row * size, '\0');
  auto put32 = [&bmp](std::size_t at, unsigned value) {
    for (int i = 0; i < 4; ++i)
      bmp[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, static_cast<unsigned>(bmp.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, size);
  put32(22, size);
  bmp[26] = 1;
  bmp[28] = 24;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int dx = x - 32;
      const int dy = y - 32;
      const bool disc = dx * dx + dy * dy < 18 * 18;
      const std::size_t at = 54 + static_cast<std::size_t>(y * row + x * 3);
      bmp[at] = static_cast<char>(disc ? 0xF0 : 200 - x);
      bmp[at + 1] = static_cast<char>(disc ? 0xF0 : 60 + y * 2);
      bmp[at + 2] = static_cast<char>(disc ? 0xF8 : 30);
    }
  }
  return bmp;
}

bool SavePng(const std::wstring& path, int width, int height, std::vector<std::uint32_t>& pixels) {
  Gdiplus::Bitmap bitmap(width, height, width * 4, PixelFormat32bppRGB,
                         reinterpret_cast<BYTE*>(pixels.data()));
  UINT count = 0;
  UINT bytes = 0;
  Gdiplus::GetImageEncodersSize(&count, &bytes);
  std::vector<char> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, bytes, encoders);
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(encoders[i].MimeType) == L"image/png")
      return bitmap.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: page_shot OUT.png [PAGE.html [WIDTH HEIGHT]]\n");
    return 2;
  }
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  std::string markup = kSample;
  if (argc >= 3) {
    std::ifstream file(argv[2], std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    markup = text.str();
  }
  const int width = argc >= 5 ? _wtoi(argv[3]) : 800;
  const int height = argc >= 5 ? _wtoi(argv[4]) : 640;
  int result = 1;
  {
    QuietDelegate delegate;
    auto document = std::make_shared<Document>("http://localhost/login.html");
    document->Load(markup, {});
    PageView view(&delegate);
    view.SetDocument(document);
    view.SetViewportSize(width, height);
    view.content_height();
    const std::string picture = GradientBmp();
    for (const std::string& url : delegate.needed)
      view.SetImageData(url, picture);
    // Focus the first field to show the caret and the focus ring.
    view.KeyDown(VK_TAB, {});
    view.KeyDown(VK_TAB, {});
    view.KeyDown(VK_TAB, {});
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    view.Paint({pixels.data(), width, height, width * 4}, {0, 0, width, height});
    result = SavePng(argv[1], width, height, pixels) ? 0 : 1;
  }
  Gdiplus::GdiplusShutdown(token);
  return result;
}
