// The runtime's own windows around a page: developer tools, the context
// menu on a real right click, and the file dialog of a file input, both
// the client's and the system's.

#include <gtest/gtest.h>

#include "runtime/include/cef_context_menu_handler.h"
#include "runtime/include/cef_dialog_handler.h"
#include "tests/runtime/browser_test_support.h"

namespace browser_test {
namespace {

using Events = std::vector<std::wstring>;
using BrowserToolsTest = BrowserTest;

// The recording client with a context menu and a file dialog of its own.
class ToolsClient : public RecordingClient, public CefContextMenuHandler, public CefDialogHandler {
 public:
  enum class Menu { kClear, kKeepOne };
  Menu menu = Menu::kClear;
  static constexpr int kCommand = MENU_ID_USER_FIRST + 7;
  // Empty: the system's open dialog.
  std::wstring chosen_file;

  CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
  CefRefPtr<CefDialogHandler> GetDialogHandler() override { return this; }

  void OnBeforeContextMenu(CefRefPtr<CefBrowser>,
                           CefRefPtr<CefFrame> frame,
                           CefRefPtr<CefContextMenuParams> params,
                           CefRefPtr<CefMenuModel> model) override {
    Note(L"OnBeforeContextMenu flags=" + std::to_wstring(params->GetTypeFlags()) + L" editable=" +
         (params->IsEditable() ? L"1" : L"0") + L" link=" + params->GetLinkUrl().ToWString() +
         L" main=" + (frame->IsMain() ? L"1" : L"0") + L" defaults=" +
         (model->GetCount() > 0 ? L"1" : L"0"));
    model->Clear();
    if (menu == Menu::kKeepOne)
      model->AddItem(kCommand, L"Mine");
  }
  bool OnContextMenuCommand(CefRefPtr<CefBrowser>,
                            CefRefPtr<CefFrame>,
                            CefRefPtr<CefContextMenuParams>,
                            int command_id,
                            EventFlags) override {
    Note(L"OnContextMenuCommand " + std::to_wstring(command_id));
    return true;
  }
  void OnContextMenuDismissed(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>) override {
    Note(L"OnContextMenuDismissed");
  }

  bool OnFileDialog(CefRefPtr<CefBrowser>,
                    FileDialogMode mode,
                    const CefString&,
                    const CefString&,
                    const std::vector<CefString>&,
                    int,
                    CefRefPtr<CefFileDialogCallback> callback) override {
    Note(L"OnFileDialog " + std::to_wstring(mode));
    if (chosen_file.empty())
      return false;
    callback->Continue(0, {chosen_file});
    return true;
  }

  // Notes of this client, oldest first, and whether they came on the UI
  // thread.
  std::vector<std::wstring> Notes() {
    std::lock_guard<std::mutex> lock(notes_mutex_);
    return notes_;
  }
  bool NotesOnUiThread() const { return notes_off_ui_ == 0; }

 private:
  void Note(std::wstring note) {
    if (!CefCurrentlyOn(TID_UI))
      ++notes_off_ui_;
    std::lock_guard<std::mutex> lock(notes_mutex_);
    notes_.push_back(std::move(note));
  }

  std::mutex notes_mutex_;
  std::vector<std::wstring> notes_;
  std::atomic<int> notes_off_ui_{0};
};

// Real input from the system's queue, as a user's hand makes it.
void MouseAt(POINT screen, DWORD flags) {
  SetCursorPos(screen.x, screen.y);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof(input));
  Sleep(30);
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof(input));
  Sleep(30);
}

void ClickAt(POINT screen, DWORD down, DWORD up) {
  MouseAt(screen, down);
  MouseAt(screen, up);
}

POINT ScreenPoint(HWND window, int x, int y) {
  POINT point = {x, y};
  ClientToScreen(window, &point);
  return point;
}

struct WindowSearch {
  DWORD thread_id;
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<WindowSearch*>(lparam);
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  const DWORD thread_id = GetWindowThreadProcessId(window, nullptr);
  if (IsWindowVisible(window) && wcscmp(class_name, search->class_name) == 0 &&
      (search->thread_id == 0 || thread_id == search->thread_id)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of that class (of that thread, when given).
HWND VisibleWindow(const wchar_t* class_name, DWORD thread_id = 0) {
  WindowSearch search = {thread_id, class_name, nullptr};
  EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

POINT Middle(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST_F(BrowserToolsTest, DevToolsShowTheElementTreeAndConsoleOpenOnceAndClose) {
  CefRefPtr<CefBrowser> browser =
      Open(PageUrl("<title>Inspected</title><p id='marker'>inspected text</p>"
                   "<script>console.log('first line')</script>"));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  CefRefPtr<CefBrowserHost> host = browser->GetHost();
  EXPECT_FALSE(host->HasDevTools());

  CefRefPtr<RecordingClient> tools = new RecordingClient;
  CefWindowInfo info;
  info.SetAsPopup(window_, L"tools");
  CefBrowserSettings settings;
  host->ShowDevTools(info, tools.get(), settings, CefPoint());
  ASSERT_TRUE(test::PumpUntil([&] { return tools->BrowserCount() == 1; }, 10000));
  CefRefPtr<CefBrowser> devtools = tools->Browser();
  EXPECT_FALSE(devtools->IsSame(browser));
  EXPECT_TRUE(host->HasDevTools());
  EXPECT_TRUE(probe_.HasDevTools(id));
  EXPECT_EQ(GetParent(devtools->GetHost()->GetWindowHandle()), nullptr) << "a window of its own";

  // The tools' page shows the inspected elements and console; it titles
  // itself with what it found, once its element tree is in.
  const std::wstring check =
      L"var text = document.body.textContent;"
      L"document.title = 'tree ' + (text.indexOf('<p id=\"marker\">inspected text</p>') >= 0) +"
      L" ' first ' + (text.indexOf('first line') >= 0) + ' later ' +"
      L" (text.indexOf('later line') >= 0);";
  auto shown = [&](const std::wstring& title) {
    return test::PumpUntil(
        [&] {
          probe_.RunScript(devtools->GetIdentifier(), check);
          return tools->HasEvent(L"OnTitleChange " + title);
        },
        10000);
  };
  EXPECT_TRUE(shown(L"tree true first true later false"));
  // A later console message reaches the open tools.
  ASSERT_TRUE(probe_.RunScript(id, L"console.log('later line')"));
  EXPECT_TRUE(shown(L"tree true first true later true"));

  // A second ShowDevTools opens nothing, with either client.
  CefRefPtr<RecordingClient> other = new RecordingClient;
  host->ShowDevTools(info, tools.get(), settings, CefPoint());
  host->ShowDevTools(info, other.get(), settings, CefPoint());
  test::PumpFor(300);
  EXPECT_EQ(tools->BrowserCount(), 1u);
  EXPECT_EQ(other->BrowserCount(), 0u);
  EXPECT_EQ(probe_.BrowserCount(), 2);

  host->CloseDevTools();
  ASSERT_TRUE(WaitForEvent(tools, L"OnBeforeClose " + std::to_wstring(devtools->GetIdentifier())));
  EXPECT_FALSE(host->HasDevTools());
  EXPECT_FALSE(probe_.HasDevTools(id));
  EXPECT_EQ(probe_.BrowserCount(), 1) << "the inspected browser stays";
  EXPECT_EQ(tools->off_ui_thread(), 0);
}

// A link at the top of the page and a text field 100 pixels below it.
const char kMenuPage[] =
    "<body style='margin: 0'><div style='height: 100px'>"
    "<a href='http://a.example/linked'>a link with a long text</a></div>"
    "<input id='field' style='width: 200px'></body>";

TEST_F(BrowserToolsTest, RightClicksAskForTheMenuAndAKeptEntryIsARealPopupMenu) {
  CefRefPtr<ToolsClient> client = new ToolsClient;
  client_ = client.get();
  CefRefPtr<CefBrowser> browser = Open(PageUrl(kMenuPage));
  ASSERT_TRUE(browser);
  HWND page = browser->GetHost()->GetWindowHandle();
  SetForegroundWindow(window_);

  // On the link: the link's flags; a cleared menu shows nothing, and is
  // still dismissed.
  ClickAt(ScreenPoint(page, 30, 8), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(test::PumpUntil([&] { return client->Notes().size() >= 2; }, 5000));
  test::PumpFor(300);
  EXPECT_EQ(VisibleWindow(L"#32768"), nullptr) << "no menu for an empty model";
  const std::wstring page_link = std::to_wstring(CM_TYPEFLAG_PAGE | CM_TYPEFLAG_LINK);
  EXPECT_EQ(client->Notes(),
            (Events{L"OnBeforeContextMenu flags=" + page_link +
                        L" editable=0 link=http://a.example/linked main=1 defaults=1",
                    L"OnContextMenuDismissed"}));

  // On the text field, with one entry kept: a real menu, chosen by a click.
  client->menu = ToolsClient::Menu::kKeepOne;
  ClickAt(ScreenPoint(page, 20, 110), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  HWND menu = nullptr;
  ASSERT_TRUE(test::PumpUntil(
      [&] { return (menu = VisibleWindow(L"#32768", probe_.ThreadId(TID_UI))) != nullptr; }, 5000))
      << "the kept entry is shown in a pop-up menu of the runtime's thread";
  ClickAt(Middle(menu), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(test::PumpUntil([&] { return client->Notes().size() >= 5; }, 5000));
  const std::wstring page_editable = std::to_wstring(CM_TYPEFLAG_PAGE | CM_TYPEFLAG_EDITABLE);
  const Events notes = client->Notes();
  EXPECT_EQ(Events(notes.begin() + 2, notes.end()),
            (Events{L"OnBeforeContextMenu flags=" + page_editable +
                        L" editable=1 link= main=1 defaults=1",
                    L"OnContextMenuCommand " + std::to_wstring(ToolsClient::kCommand),
                    L"OnContextMenuDismissed"}));
  EXPECT_TRUE(client->NotesOnUiThread());
  EXPECT_TRUE(test::PumpUntil([&] { return VisibleWindow(L"#32768") == nullptr; }, 3000));
}

TEST_F(BrowserToolsTest, AFileInputTakesTheClientsPathOrTheSystemDialogsCancel) {
  CefRefPtr<ToolsClient> client = new ToolsClient;
  client_ = client.get();
  client->chosen_file = folder_.path() + L"chosen.txt";
  CefRefPtr<CefBrowser> browser = Open(
      PageUrl("<input type='file' id='file' onchange=\"document.title = 'chose ' + "
              "this.value\"><button id='ping' onclick=\"document.title = 'pong'\">p</button>"));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();

  ASSERT_TRUE(probe_.ClickElement(id, L"file"));
  ASSERT_TRUE(WaitForTitle(L"chose " + client->chosen_file));
  EXPECT_EQ(client->Notes(), (Events{L"OnFileDialog " + std::to_wstring(FILE_DIALOG_OPEN)}));

  // Not taken by the client: the system's open dialog, owned by the
  // program's window, cancelled with the mouse.
  client->chosen_file.clear();
  client->ClearEvents();
  ASSERT_TRUE(probe_.ClickElement(id, L"file"));
  HWND dialog = nullptr;
  ASSERT_TRUE(test::PumpUntil(
      [&] { return (dialog = VisibleWindow(L"#32770", probe_.ThreadId(TID_UI))) != nullptr; },
      10000));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), window_);
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  ASSERT_NE(cancel, nullptr);
  ClickAt(Middle(cancel), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000));
  EXPECT_EQ(client->Notes().size(), 2u);
  // The page heard nothing and answers again.
  ASSERT_TRUE(probe_.ClickElement(id, L"ping"));
  ASSERT_TRUE(WaitForTitle(L"pong"));
  EXPECT_TRUE(client->Events({L"OnTitleChange chose"}).empty());
  EXPECT_TRUE(IsWindowEnabled(window_)) << "the owner is given back";
}

}  // namespace
}  // namespace browser_test
