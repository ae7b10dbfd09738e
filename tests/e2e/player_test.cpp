// The client as a player meets it: started as a program, driven by
// synthesised mouse input, observed through its windows, the demo
// platform's request log, the screen's pixels and its exit code.

#include <gtest/gtest.h>

#include <winsock2.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <fstream>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/standin/test_interface.h"
#include "tests/e2e/client_session.h"

namespace e2e {
namespace {

constexpr wchar_t kLauncher[] = L"Game_start";
constexpr wchar_t kLogin[] = L"Game_login";

// The launcher's skin: 960 x 600 inside a 14-pixel shadow; its close
// button is the last 46 x 40 of the caption.
constexpr int kShadow = 14;
constexpr int kLauncherWidth = 960;
POINT LauncherClose(HWND launcher) {
  return At(launcher, kShadow + kLauncherWidth - 23, kShadow + 20);
}
POINT LauncherCaption(HWND launcher) {
  return At(launcher, kShadow + 400, kShadow + 20);
}

class Screenshots : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    CreateDirectoryW((BuildFolder() + L"screenshots").c_str(), nullptr);
    // Xvfb has no window manager: Wine then stacks, maximises and hides
    // every window itself, as the window system of a desktop would. The
    // prefix is shared with the other test programs, so the setting is put
    // back as it was afterwards.
    DWORD size = sizeof(saved_managed_);
    had_managed_ = RegGetValueW(HKEY_CURRENT_USER, kX11Driver, L"Managed", RRF_RT_REG_SZ, nullptr,
                                saved_managed_, &size) == ERROR_SUCCESS;
    RegSetKeyValueW(HKEY_CURRENT_USER, kX11Driver, L"Managed", REG_SZ, L"N", 2 * sizeof(wchar_t));
  }
  void TearDown() override {
    if (had_managed_) {
      RegSetKeyValueW(HKEY_CURRENT_USER, kX11Driver, L"Managed", REG_SZ, saved_managed_,
                      static_cast<DWORD>((wcslen(saved_managed_) + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kX11Driver, L"Managed");
    }
    Gdiplus::GdiplusShutdown(token_);
  }

 private:
  static constexpr wchar_t kX11Driver[] = L"Software\\Wine\\X11 Driver";

  ULONG_PTR token_ = 0;
  bool had_managed_ = false;
  wchar_t saved_managed_[16] = {};
};

const auto* const kScreenshots = ::testing::AddGlobalTestEnvironment(new Screenshots);

void Screenshot(HWND window, const wchar_t* name) {
  // Another variant of the client keeps its own pictures.
  const std::wstring prefix = std::wstring(QEL_E2E_CLIENT) == L"Qelmora.exe" ? L"" : L"offscreen_";
  EXPECT_TRUE(SaveScreenshot(window, BuildFolder() + L"screenshots\\" + prefix + name + L".png"))
      << "screenshot";
}

constexpr wchar_t kGame[] = L"Game_client";

// The demo platform's hosts (the build's defaults) and its page colours.
const std::string kPlatformHost = "www.qelmora.example";
const std::string kPaymentHost = "pay.qelmora.example";
const std::string kGameHost = "game.qelmora.example";
constexpr COLORREF kGoldButton = RGB(0xD9, 0xA4, 0x41);
constexpr COLORREF kPanelRow = RGB(0x1B, 0x20, 0x30);
constexpr COLORREF kGameFrameBorder = RGB(0x2E, 0x34, 0x42);
constexpr COLORREF kGamePage = RGB(0x0B, 0x0E, 0x16);
// The login window's toolbar and its line above the page.
constexpr int kLoginToolbar = 33;

BOOL CALLBACK FindBrowserWindow(HWND child, LPARAM result) {
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  if (wcscmp(name, L"CefBrowserWindow") != 0)
    return TRUE;
  *reinterpret_cast<HWND*>(result) = child;
  return FALSE;
}

// The stand-in runtime's native window of the page in |form|, if any
// (a windowed browser's).
HWND BrowserWindowOf(HWND form) {
  HWND found = nullptr;
  EnumChildWindows(form, &FindBrowserWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Read from the page's window, across processes.
bool IsMuted(HWND page) {
  return GetPropW(page, CEF_STANDIN_MUTED_PROPERTY) != nullptr;
}

// A window of another program that comes to the front, topmost at |rect|
// on a thread of its own.
class OtherProgramWindow {
 public:
  explicit OtherProgramWindow(RECT rect) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, rect, ready] {
      WNDCLASSW window_class = {};
      window_class.lpfnWndProc = DefWindowProcW;
      window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
      window_class.lpszClassName = L"QelOtherProgram";
      RegisterClassW(&window_class);
      window_ = CreateWindowExW(WS_EX_TOPMOST, L"QelOtherProgram", L"other", WS_POPUP | WS_VISIBLE,
                                rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
      thread_id_ = GetCurrentThreadId();
      SetForegroundWindow(window_);
      SetEvent(ready);
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
      DestroyWindow(window_);
    });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
  }
  HWND window() const { return window_; }
  ~OtherProgramWindow() {
    PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
    thread_.join();
  }

 private:
  std::thread thread_;
  DWORD thread_id_ = 0;
  HWND window_ = nullptr;
};

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DemoPlatformPort())
      GTEST_SKIP() << "no demo platform: run through scripts/test (QEL_WEB_PORT unset)";
  }

  // Starts the client and waits for its login page.
  void StartToLogin() {
    client_ = std::make_unique<ClientRun>();
    ASSERT_TRUE(client_->started());
    launcher_ = client_->WaitVisible(kLauncher);
    ASSERT_NE(launcher_, nullptr) << "no launcher";
    login_ = client_->WaitVisible(kLogin, 30000);
    ASSERT_NE(login_, nullptr) << "the login window never showed ("
                               << (client_->Find(kLogin) ? "it exists hidden" : "it does not exist")
                               << ")";
    EXPECT_TRUE(IsAbove(login_, launcher_)) << "the login window lies over the launcher";
    ASSERT_TRUE(WaitUntil([&] { return !GoldBands().empty(); }, 15000))
        << "no login page in the login window at " << WindowRect(login_).left << ","
        << WindowRect(login_).top << " to " << WindowRect(login_).right << ","
        << WindowRect(login_).bottom;
  }

  // The page area of the login window on the screen.
  RECT LoginPage() const {
    RECT rect = WindowRect(login_);
    rect.top += kLoginToolbar;
    return rect;
  }
  std::vector<Band> Bands(COLORREF colour) const {
    const RECT page = LoginPage();
    return ColourBands(page.left + 30, page.top, page.bottom, colour);
  }
  std::vector<Band> GoldBands() const { return Bands(kGoldButton); }
  POINT InPage(const Band& band) const { return {LoginPage().left + 40, band.middle()}; }

  // From the login page to the server list.
  void LogIn() {
    StartToLogin();
    if (HasFatalFailure())
      return;
    const size_t before = log_.Count(kPlatformHost, "/game/s/servers/");
    Sleep(500);  // the page settled
    ClickAt(InPage(GoldBands().front()));
    ASSERT_TRUE(
        WaitUntil([&] { return log_.Count(kPlatformHost, "/game/s/servers/") > before; }, 10000))
        << "the login button led nowhere";
    // The server list: two gold server rows and six panel rows of links.
    ASSERT_TRUE(
        WaitUntil([&] { return GoldBands().size() >= 2 && Bands(kPanelRow).size() >= 6; }, 10000))
        << "no server list";
  }

  std::unique_ptr<ClientRun> client_;
  RequestLog log_;
  HWND launcher_ = nullptr;
  HWND login_ = nullptr;
};

TEST_F(PlayerTest, TheLoginWindowShowsAtItsOffsetOverTheLauncherWithThePlayersIdentifiers) {
  StartToLogin();
  if (HasFatalFailure())
    return;
  const RECT launcher = WindowRect(launcher_);
  const RECT login = WindowRect(login_);
  EXPECT_EQ(login.left - launcher.left, 530);
  EXPECT_EQ(login.top - launcher.top, 257);
  EXPECT_EQ(GetWindow(login_, GW_OWNER), launcher_) << "owned by the launcher";
  EXPECT_EQ(log_.Count(kPlatformHost, "/game/s/wdAccess/?name=vynt&uid=10086&suid=qel_demo_7f3a"),
            1u);
  Sleep(300);
  Screenshot(launcher_, L"launcher_login");
  Screenshot(login_, L"login");

  // Dragged by its caption, the launcher takes the login window along.
  SetForegroundWindow(launcher_);
  const POINT from = LauncherCaption(launcher_);
  DragFromTo(from, {from.x - 100, from.y + 60});
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(login_).left == login.left - 100; }, 3000));
  const RECT moved = WindowRect(login_);
  EXPECT_EQ(moved.top, login.top + 60);
  EXPECT_EQ(moved.right - moved.left, login.right - login.left);
  EXPECT_EQ(moved.bottom - moved.top, login.bottom - login.top);
  EXPECT_TRUE(IsWindowVisible(login_));

  // Closing the launcher ends the program at once, browser open or not.
  ClickAt(LauncherClose(launcher_));
  EXPECT_EQ(client_->WaitForExit(15000), 0);
}

TEST_F(PlayerTest, RefusedDestinationsAreNeverRequestedAndTheWdPagesOpen) {
  LogIn();
  if (HasFatalFailure())
    return;
  // The panel rows: customer service, payment, new server, a game-host
  // page outside "/wd/", the "/wd/" guide, the new-window link.
  const std::vector<Band> rows = Bands(kPanelRow);
  Sleep(300);
  Screenshot(login_, L"login_servers");
  // The page stays: its server rows where they were, nothing requested.
  const std::vector<Band> servers = GoldBands();
  const size_t requests = log_.Read().size();
  const uint64_t page = ScreenHash(LoginPage());
  const std::pair<std::string, std::string> refused[] = {{kPlatformHost, "/kefu/"},
                                                         {kPaymentHost, "/"},
                                                         {kPlatformHost, "/mg/s/new_server/"},
                                                         {kGameHost, "/bbs/"}};
  for (size_t i = 0; i < 4; ++i) {
    ClickAt(InPage(rows[i]));
    Sleep(1500);
    EXPECT_EQ(log_.Count(refused[i].first, refused[i].second), 0u)
        << refused[i].first << refused[i].second;
    const std::vector<Band> now = GoldBands();
    EXPECT_TRUE(now.size() == servers.size() && now.front().top == servers.front().top)
        << "the page stayed for " << refused[i].second;
    EXPECT_EQ(log_.Read().size(), requests) << "nothing requested for " << refused[i].second;
  }
  ClickAt(InPage(rows[4]));
  EXPECT_TRUE(WaitUntil([&] { return log_.Count(kGameHost, "/wd/guide/") == 1; }, 10000))
      << "the guide";
  EXPECT_TRUE(WaitUntil([&] { return ScreenHash(LoginPage()) != page; }, 5000))
      << "the guide shows";
}

TEST_F(PlayerTest, ANewWindowGoesToTheDefaultBrowserAndIntoTheLoginWindow) {
  // The default browser is our catcher for this test.
  const std::wstring caught = BuildFolder() + L"screenshots\\caught_urls.txt";
  DeleteFileW(caught.c_str());
  SetEnvironmentVariableW(L"QEL_URL_CATCHER_FILE", caught.c_str());
  // The system's "open" command of http addresses, saved and put back.
  constexpr wchar_t kOpenCommand[] = L"Software\\Classes\\http\\shell\\open\\command";
  wchar_t saved[1024] = {};
  DWORD saved_size = sizeof(saved);
  const bool had_command = RegGetValueW(HKEY_LOCAL_MACHINE, kOpenCommand, nullptr, RRF_RT_REG_SZ,
                                        nullptr, saved, &saved_size) == ERROR_SUCCESS;
  const std::wstring command = L"\"" + BuildFolder() + L"url_catcher.exe\" \"%1\"";
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kOpenCommand, nullptr, REG_SZ, command.c_str(),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);

  LogIn();
  if (!HasFatalFailure()) {
    ClickAt(InPage(Bands(kPanelRow)[5]));
    EXPECT_TRUE(WaitUntil([&] { return log_.Count(kPlatformHost, "/news/") == 1; }, 10000))
        << "loaded in the login window";
    std::wstring text;
    WaitUntil(
        [&] {
          std::wifstream file(caught.c_str());
          std::getline(file, text);
          return !text.empty();
        },
        10000);
    EXPECT_NE(text.find(L"http://www.qelmora.example/news/"), std::wstring::npos)
        << "handed to the browser";
  }
  if (had_command) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kOpenCommand, nullptr, REG_SZ, saved,
                    static_cast<DWORD>((wcslen(saved) + 1) * sizeof(wchar_t)));
  }
}

TEST_F(PlayerTest, ThePagesMessageBoxIsAToastForThreeSecondsAndThePageGetsTheAnswer) {
  LogIn();
  if (HasFatalFailure())
    return;
  // The toast button is the last panel row; its answer is written beside it.
  const Band button = Bands(kPanelRow).back();
  const RECT answer = {LoginPage().left + 130, button.top, LoginPage().right - 4, button.bottom};
  const uint64_t before = ScreenHash(answer);
  ClickAt(InPage(button));
  HWND toast = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (toast = client_->Find(L"Toast")) && IsWindowVisible(toast); }, 5000))
      << "no toast";
  const ULONGLONG shown = GetTickCount64();
  Screenshot(toast, L"toast");
  EXPECT_TRUE(WaitUntil([&] { return ScreenHash(answer) != before; }, 5000))
      << "the page shows the reply";
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(toast) || !IsWindowVisible(toast); }, 6000));
  const ULONGLONG lasted = GetTickCount64() - shown;
  EXPECT_GE(lasted, 2500u);
  EXPECT_LE(lasted, 4500u);
}

TEST_F(PlayerTest, AServerOpensTheGameWindowAndItsCloseButtonBringsTheLauncherBack) {
  LogIn();
  if (HasFatalFailure())
    return;
  const size_t server_lists = log_.Count(kPlatformHost, "/game/s/servers/");
  Sleep(500);
  ClickAt(InPage(GoldBands().front()));
  HWND game = client_->WaitVisible(kGame, 20000);
  ASSERT_NE(game, nullptr) << "no game window";
  EXPECT_TRUE(IsZoomed(game)) << "maximised";
  // The title comes from the address's GBK-encoded server name.
  if (GetACP() == 936)
    EXPECT_EQ(WindowText(game), L"\u4e91\u68a6\u6cfd-Aster");
  else
    EXPECT_NE(WindowText(game).find(L"-Aster"), std::wstring::npos) << "code page " << GetACP();
  EXPECT_TRUE(
      WaitUntil([&] { return !IsWindowVisible(launcher_) && !IsWindowVisible(login_); }, 5000))
      << "launcher and login hidden";
  EXPECT_TRUE(WaitUntil([&] { return log_.Count(kGameHost, "/wd/play/?m=game") == 1; }, 10000));
  // The page is painted over the whole maximised window (the off-screen
  // variant once showed it only after a resize).
  const RECT game_rect = WindowRect(game);
  EXPECT_TRUE(WaitUntil(
      [&] {
        return ScreenPixel({game_rect.left + 500, game_rect.top + 500}) == kGamePage;
      },
      5000))
      << "no game page";
  Sleep(800);
  Screenshot(game, L"game");

  // Another program coming to the front mutes the game; clicking the
  // game's caption brings its sound back.
  // Off screen the page has no window: the game window stands for it.
  const HWND page = BrowserWindowOf(game) ? BrowserWindowOf(game) : game;
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == game; }, 5000)) << "game active";
  EXPECT_FALSE(IsMuted(page));
  {
    OtherProgramWindow other({200, 300, 500, 500});
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.window(); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsMuted(page); }, 5000)) << "muted when inactive";
    ClickAt(At(game, 400, 16));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == game && !IsMuted(page); }, 5000))
        << "sound back when active";
  }

  // Maximised the side borders are 1 pixel: the page starts at x = 1.
  const RECT full = WindowRect(game);
  const int row = full.top + 300;
  auto border_at = [&](int x) { return ScreenPixel({full.left + x, row}) == kGameFrameBorder; };
  EXPECT_TRUE(border_at(0));
  EXPECT_FALSE(border_at(1));

  // Restore: the window shrinks, the borders become 2 pixels.
  const int width = full.right - full.left;
  ClickAt(At(game, width - 46 - 23, 16));
  ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(game); }, 5000)) << "restored";
  Sleep(500);
  const RECT restored = WindowRect(game);
  EXPECT_LT(restored.right - restored.left, width);
  EXPECT_EQ(ScreenPixel({restored.left + 1, restored.top + 300}), kGameFrameBorder);
  Screenshot(game, L"game_restored");
  // Maximise again from the same place, now the maximise button.
  ClickAt(At(game, (restored.right - restored.left) - 46 - 23, 16));
  ASSERT_TRUE(WaitUntil([&] { return IsZoomed(game) != FALSE; }, 5000)) << "maximised again";
  Sleep(500);
  EXPECT_NE(ScreenPixel({full.left + 1, row}), kGameFrameBorder);

  // Close: the launcher comes back with the server list reloaded.
  ClickAt(At(game, width - 23, 16));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(game); }, 10000)) << "game window gone";
  EXPECT_NE(client_->WaitVisible(kLauncher, 10000), nullptr);
  EXPECT_NE(client_->WaitVisible(kLogin, 10000), nullptr);
  EXPECT_TRUE(WaitUntil(
      [&] { return log_.Count(kPlatformHost, "/game/s/servers/") > server_lists; }, 10000))
      << "the server list reloaded";
  const RECT launcher = WindowRect(launcher_);
  const RECT login = WindowRect(login_);
  EXPECT_EQ(login.left - launcher.left, 530);
  EXPECT_EQ(login.top - launcher.top, 257);
}

TEST_F(PlayerTest, AGameWindowClosedByTheSystemAlsoBringsTheLauncherBack) {
  LogIn();
  if (HasFatalFailure())
    return;
  Sleep(500);
  ClickAt(InPage(GoldBands().back()));  // the second server
  HWND game = client_->WaitVisible(kGame, 20000);
  ASSERT_NE(game, nullptr) << "no game window";
  EXPECT_EQ(WindowText(game), L"Orion 2-Aster");
  // Alt+F4 or the taskbar's close: the system's close command.
  PostMessageW(game, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(game); }, 10000)) << "game window gone";
  EXPECT_NE(client_->WaitVisible(kLauncher, 10000), nullptr) << "the launcher is back";
  EXPECT_NE(client_->WaitVisible(kLogin, 10000), nullptr) << "and its login window";
}

// A platform that cannot be reached: a port of this machine that closes
// every connection at once, counting them.
class ClosingListener {
 public:
  ClosingListener() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        listen(socket_, 8) == 0 &&
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
    thread_ = std::thread([this] {
      while (!stop_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval wait = {0, 50 * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) != 1)
          continue;
        const SOCKET connection = accept(socket_, nullptr, nullptr);
        if (connection == INVALID_SOCKET)
          continue;
        ++connections_;
        closesocket(connection);
      }
    });
  }
  ~ClosingListener() {
    stop_ = true;
    thread_.join();
    closesocket(socket_);
    WSACleanup();
  }
  int port() const { return port_; }
  int connections() const { return connections_; }

 private:
  SOCKET socket_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::thread thread_;
};

TEST_F(PlayerTest, AnUnreachablePlatformShowsWhyInTheLoginWindowAndRetryAsksAgain) {
  ClosingListener platform;
  ASSERT_NE(platform.port(), 0);
  // The pointer away from where the button comes, which it would light up.
  SetCursorPos(0, 0);
  ClientRun client(L"", QEL_E2E_CLIENT, platform.port());
  ASSERT_TRUE(client.started());
  const HWND login = client.WaitVisible(kLogin, 30000);
  ASSERT_NE(login, nullptr) << "the login window shows the failure";
  // The failure's retry button, gold, in the middle of the page's area,
  // clicked once two looks a moment apart agree where it is (the window is
  // placed over the launcher meanwhile).
  POINT retry = {};
  ASSERT_TRUE(WaitUntil(
      [&] {
        const RECT rect = WindowRect(login);
        const int middle = (rect.left + rect.right) / 2;
        const std::vector<Band> buttons =
            ColourBands(middle, rect.top + kLoginToolbar, rect.bottom, kGoldButton);
        const POINT seen = {middle, buttons.empty() ? 0 : buttons.front().middle()};
        const bool settled = seen.y != 0 && seen.x == retry.x && seen.y == retry.y;
        retry = seen;
        if (!settled)
          Sleep(200);
        return settled;
      },
      20000))
      << "no retry button";
  EXPECT_GE(platform.connections(), 1);
  Screenshot(login, L"login_unreachable");
  const int before = platform.connections();
  ClickAt(retry);
  EXPECT_TRUE(WaitUntil([&] { return platform.connections() > before; }, 10000))
      << "the retry asked the platform again";
  EXPECT_TRUE(IsWindowVisible(login));
}

// The configuration beside the program, replaced for one test.
class ConfigSwap {
 public:
  explicit ConfigSwap(const char* content)
      : path_(BuildFolder() + L"config.ini"), saved_(path_ + L".saved") {
    MoveFileExW(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (content) {
      std::ofstream file(path_.c_str(), std::ios::binary);
      file << content;
    }
  }
  ~ConfigSwap() { MoveFileExW(saved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING); }

 private:
  std::wstring path_;
  std::wstring saved_;
};

// Starts the client and waits until its login page is asked for.
void ExpectLoginAddress(const std::string& path_and_query) {
  RequestLog log;
  ClientRun client;
  ASSERT_TRUE(client.started());
  EXPECT_TRUE(WaitUntil([&] { return log.Count(kPlatformHost, path_and_query) == 1; }, 20000))
      << path_and_query.substr(0, 80);
}

TEST_F(PlayerTest, AMissingConfigurationLeavesBothIdentifiersEmpty) {
  ConfigSwap swap(nullptr);
  ExpectLoginAddress("/game/s/wdAccess/?name=vynt&uid=&suid=");
}

TEST_F(PlayerTest, OverLongIdentifiersAreCutTo255Characters) {
  const std::string uid(300, '7');
  const std::string content = "[vynt]\r\nuid=" + uid + "\r\nfilename=short\r\n";
  ConfigSwap swap(content.c_str());
  ExpectLoginAddress("/game/s/wdAccess/?name=vynt&uid=" + std::string(255, '7') + "&suid=short");
}

TEST_F(PlayerTest, LauncherShowsCentredTitledAndItsCloseButtonEndsTheProgramWithZero) {
  ClientRun client;
  ASSERT_TRUE(client.started());
  HWND launcher = client.WaitVisible(kLauncher);
  ASSERT_NE(launcher, nullptr) << "no launcher";
  EXPECT_EQ(WindowText(launcher), L"Qelmora");
  const RECT rect = WindowRect(launcher);
  EXPECT_EQ(rect.right - rect.left, kLauncherWidth + 2 * kShadow);
  EXPECT_EQ(rect.bottom - rect.top, 600 + 2 * kShadow);
  // Centred on the screen (within a pixel of rounding).
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_NEAR(rect.left + (rect.right - rect.left) / 2, screen_width / 2, 1);

  // The painted scene, not a blank window: the title's gold and the sky.
  Sleep(500);
  Screenshot(launcher, L"launcher");

  SetForegroundWindow(launcher);
  ClickAt(LauncherClose(launcher));
  EXPECT_EQ(client.WaitForExit(15000), 0) << "the close button ended the program with code 0";
}

}  // namespace
}  // namespace e2e
