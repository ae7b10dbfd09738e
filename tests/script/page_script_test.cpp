// A page's script against its document and a recording host, in process:
// the stand-in's renderer runs here, and the test works on its thread.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/standin/function_task.h"
#include "runtime/standin/page/document.h"
#include "runtime/standin/runtime_context.h"
#include "runtime/standin/script/js_strings.h"
#include "runtime/standin/script/page_script.h"

namespace cef_standin::script {
namespace {

// Records what the page asked; answers dialogs and quota as told.
class RecordingHost : public PageHost {
 public:
  void Navigate(const NavigationRequest& request) override {
    events.push_back(L"navigate " + request.url +
                     (request.history == HistoryEntry::kReplace ? L" replace" : L"") +
                     (request.gesture == UserGesture::kYes ? L" gesture" : L""));
  }
  void GoHistory(int offset) override { events.push_back(L"history " + std::to_wstring(offset)); }
  int HistoryLength() override { return 3; }
  void Reload() override { events.push_back(L"reload"); }
  bool OpenPopup(const PopupRequest& request) override {
    events.push_back(L"popup " + request.url + L" " + request.target);
    return allow_popups;
  }
  void Alert(const std::wstring& message) override {
    events.push_back(L"alert " + message);
    Sleep(alert_wait_ms);  // the user reads it
  }
  bool Confirm(const std::wstring& message) override {
    events.push_back(L"confirm " + message);
    return true;
  }
  std::optional<std::wstring> Prompt(const std::wstring& message,
                                     const std::wstring& default_text) override {
    events.push_back(L"prompt " + message + L" " + default_text);
    return std::nullopt;
  }
  void AddConsoleMessage(const ConsoleMessage& message) override { console.push_back(message); }
  void TitleChanged(const std::wstring& title) override { events.push_back(L"title " + title); }
  void RequestQuota(int64_t bytes, std::function<void(QuotaDecision)> done) override {
    events.push_back(L"quota " + std::to_wstring(bytes));
    // Answered later, as the browser does.
    PostRendererTask([done, bytes] { done({true, bytes}); }, 0);
  }
  std::wstring UserAgent() override { return L"Stand-in/1.0"; }
  void PostRendererTask(std::function<void()> task, int64_t delay_ms) override {
    RuntimeContext::Get().PostTask(TID_RENDERER, MakeTask(std::move(task)), delay_ms);
  }

  bool allow_popups = false;
  DWORD alert_wait_ms = 0;
  std::vector<std::wstring> events;
  std::vector<ConsoleMessage> console;
};

class NoApp : public CefApp {
  IMPLEMENT_REFCOUNTING(NoApp);
};

constexpr char kPage[] =
    "<html><head><title>Old</title></head><body>"
    "<p id=\"msg\">hi</p>"
    "<button id=\"b\" onclick=\"log.push('attribute')\">Go</button>"
    "<a id=\"link\" href=\"next.html\">next</a>"
    "<input id=\"field\" value=\"typed\">"
    "</body></html>";

constexpr wchar_t kScript[] =
    L"var log = [];\n"
    L"var msg = document.getElementById('msg');\n"
    L"msg.textContent = msg.textContent + ' there';\n"
    L"document.getElementById('b').addEventListener('click', function (e) {\n"
    L"  log.push('listener ' + e.target.id + ' ' + this.tagName);\n"
    L"});\n"
    L"document.body.addEventListener('click', function (e) { log.push('body'); });\n"
    L"document.querySelector('#link').onclick = function (e) {\n"
    L"  e.preventDefault(); location.assign('other.html'); };\n"
    L"var made = document.createElement('div'); made.id = 'made';\n"
    L"made.appendChild(document.createTextNode('made here')); document.body.appendChild(made);\n"
    L"made.style.display = 'none';\n"
    L"document.title = 'New ' + document.querySelectorAll('p').length;\n"
    L"console.warn('ready', document.getElementById('field').value);\n"
    L"setTimeout(function (word) { log.push(word); }, 0, 'timer');\n";

class PageScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CefSettings settings;
    settings.multi_threaded_message_loop = 1;
    settings.no_sandbox = 1;
    app_ = new NoApp;
    CefMainArgs args(GetModuleHandleW(nullptr));
    ASSERT_TRUE(RuntimeContext::Get().Initialize(&args, &settings, app_.get()));
    ASSERT_TRUE(OnRenderer([&] {
      RendererPages& pages = RuntimeContext::Get().renderer_pages();
      ASSERT_TRUE(pages.CreateBrowser(1, 0));
      frame_ = pages.GetBrowser(1)->GetMainFrame()->GetIdentifier();
      LoadPage();
    }));
  }

  void TearDown() override {
    OnRenderer([&] {
      script_.reset();
      document_.reset();
    });
    RuntimeContext::Get().Shutdown();
  }

  // Renderer thread: a new document and its script in the frame's context.
  void LoadPage() {
    auto* frame = static_cast<RendererFrame*>(
        RuntimeContext::Get().renderer_pages().GetBrowser(1)->GetMainFrame().get());
    script_.reset();
    document_ = std::make_unique<page::Document>("http://page.test/dir/index.html");
    document_->LoadUtf8(kPage);
    script_ = std::make_unique<PageScript>(frame->context(), document_.get(), &host_);
  }

  bool OnRenderer(const std::function<void()>& work) {
    return RuntimeContext::Get().RunOnRenderer(work);
  }

  // Renderer thread: the completion value of `code` as text.
  std::wstring Eval(const std::wstring& code) {
    auto* frame = static_cast<RendererFrame*>(
        RuntimeContext::Get().renderer_pages().GetBrowser(1)->GetMainFrame().get());
    CefRefPtr<CefV8Value> retval;
    CefRefPtr<CefV8Exception> exception;
    if (!frame->context()->Eval(code, L"", 1, retval, exception))
      return L"threw " + exception->GetMessage().ToWString();
    return retval && retval->IsString() ? retval->GetStringValue().ToWString() : L"?";
  }

  // Waits for posted tasks (timers, quota answers) to run.
  std::wstring EvalWhen(const std::wstring& code, const std::wstring& expected) {
    std::wstring result;
    for (int attempt = 0; attempt < 100 && result != expected; ++attempt) {
      Sleep(20);
      OnRenderer([&] { result = Eval(code); });
    }
    return result;
  }

  CefRefPtr<CefApp> app_;
  int64 frame_ = 0;
  RecordingHost host_;
  std::unique_ptr<page::Document> document_;
  std::unique_ptr<PageScript> script_;
};

TEST_F(PageScriptTest, ScriptReadsAndChangesTheDocumentAndHearsItsEvents) {
  page::EventOutcome button = page::EventOutcome::kDefaultPrevented;
  page::EventOutcome link = page::EventOutcome::kProceed;
  ASSERT_TRUE(OnRenderer([&] {
    ASSERT_TRUE(script_->Run({kScript, L"http://page.test/dir/app.js", 1}));
    EXPECT_EQ(document_->GetElementById("msg")->TextContent(), "hi there");
    ASSERT_TRUE(document_->GetElementById("made"));
    EXPECT_EQ(document_->GetElementById("made")->TextContent(), "made here");
    EXPECT_EQ(document_->GetElementById("made")->GetStyleProperty("display"), "none");
    EXPECT_EQ(document_->Title(), "New 1");

    // The user clicks the button, then the link.
    button = document_->DispatchEvent(document_->GetElementById("b"), page::EventType::kClick);
    link = document_->DispatchEvent(document_->GetElementById("link"), page::EventType::kClick);
    EXPECT_EQ(Eval(L"document.getElementById('b') === document.querySelector('button') ? 'same' : "
                   L"'other'"),
              L"same");
  }));
  EXPECT_EQ(button, page::EventOutcome::kProceed);
  EXPECT_EQ(link, page::EventOutcome::kDefaultPrevented);
  EXPECT_EQ(EvalWhen(L"log.join()", L"attribute,listener b BUTTON,body,body,timer"),
            L"attribute,listener b BUTTON,body,body,timer");
  EXPECT_EQ(host_.events, (std::vector<std::wstring>{
                              L"title New 1",
                              L"navigate http://page.test/dir/other.html gesture",
                          }));
  ASSERT_EQ(host_.console.size(), 1u);
  EXPECT_EQ(host_.console[0].level, ConsoleLevel::kWarning);
  EXPECT_EQ(host_.console[0].text, L"ready typed");
  EXPECT_EQ(host_.console[0].source, L"http://page.test/dir/app.js");
  EXPECT_EQ(host_.console[0].line, 14);

  // A script that throws is reported with its line, and the next one runs.
  ASSERT_TRUE(OnRenderer([&] {
    EXPECT_FALSE(script_->RunScripts({{L"\nundefinedFunction();", L"http://page.test/bad.js", 1},
                                      {L"log.push('after')", L"http://page.test/", 1}}));
    EXPECT_EQ(Eval(L"log[log.length - 1]"), L"after");
  }));
  ASSERT_EQ(host_.console.size(), 2u);
  EXPECT_EQ(host_.console[1].level, ConsoleLevel::kError);
  EXPECT_NE(host_.console[1].text.find(L"undefinedFunction"), std::wstring::npos);
  EXPECT_EQ(host_.console[1].line, 2);
}

TEST_F(PageScriptTest, WindowObjectsAskTheHost) {
  ASSERT_TRUE(OnRenderer([&] {
    EXPECT_EQ(Eval(L"[location.protocol, location.host, location.pathname, navigator.userAgent,"
                   L" history.length, window === self && self === globalThis].join(' ')"),
              L"http: page.test /dir/index.html Stand-in/1.0 3 true");
    EXPECT_EQ(Eval(L"alert('hello'); [confirm('sure?'), prompt('name', 'x'),"
                   L" window.open('pop.html')].join()"),
              L"true,,");
    Eval(
        L"location.replace('/root'); history.back(); location.reload();"
        L"var granted = 'waiting';"
        L"navigator.webkitPersistentStorage.requestQuota(1024, function (bytes) {"
        L"  granted = 'granted ' + bytes; }, function () { granted = 'refused'; }); ''");
  }));
  EXPECT_EQ(EvalWhen(L"granted", L"granted 1024"), L"granted 1024");
  ASSERT_TRUE(OnRenderer([&] {
    Eval(
        L"var loaded = []; addEventListener('load', function () { loaded.push('load'); });"
        L"onload = function () { loaded.push('onload'); };"
        L"document.addEventListener('DOMContentLoaded', function () { loaded.push('dom'); }); ''");
    script_->FinishLoading();
    EXPECT_EQ(Eval(L"loaded.join()"), L"dom,onload,load");
  }));
  EXPECT_EQ(host_.events, (std::vector<std::wstring>{
                              L"alert hello",
                              L"confirm sure?",
                              L"prompt name x",
                              L"popup http://page.test/dir/pop.html _blank",
                              L"navigate http://page.test/root replace",
                              L"history -1",
                              L"reload",
                              L"quota 1024",
                          }));
}

TEST_F(PageScriptTest, TimeWaitingForADialogIsNoScriptTime) {
  host_.alert_wait_ms = 600;
  ASSERT_TRUE(OnRenderer([&] {
    RuntimeContext::Get().renderer_pages().engine()->set_time_limit_ms(400);
    // Long enough after the dialog for the engine to look at the clock.
    EXPECT_TRUE(
        script_->Run({L"alert('slow reader');"
                      L"for (var i = 0; i < 200000; i++) {} var after = 'ran';",
                      L"http://page.test/", 1}));
    EXPECT_EQ(Eval(L"after"), L"ran");
    EXPECT_FALSE(script_->Run({L"for (;;) {}", L"http://page.test/loop.js", 1}));
    EXPECT_EQ(Eval(L"after"), L"ran") << "the page goes on";
  }));
  ASSERT_FALSE(host_.console.empty());
  EXPECT_NE(host_.console.back().text.find(L"interrupted"), std::wstring::npos);
}

TEST_F(PageScriptTest, NodesScriptDropsGoAndNodesItKeepsStopAtTheBound) {
  ASSERT_TRUE(OnRenderer([&] {
    ASSERT_TRUE(
        script_->Run({L"var kept = document.createElement('p'); kept.note = 'mine';"
                      L"document.body.appendChild(kept); kept = null;"
                      L"for (var i = 0; i < 20000; i++) document.createElement('div');",
                      L"http://page.test/", 1}));
    EXPECT_LT(document_->node_count(), 5000u) << "dropped nodes went";
    EXPECT_EQ(Eval(L"document.body.lastChild.note"), L"mine")
        << "a node in the page kept its wrapper";

    // The document near its bound already, so that the loop reaches it
    // well within the script's time.
    page::NodePtr filler = document_->CreateElement("div");
    while (document_->node_count() + 2000 < page::Document::kMaxNodes)
      filler->AppendChild(document_->CreateElement("br"));
    document_->body()->AppendChild(filler);
    EXPECT_FALSE(script_->Run({L"var all = []; for (;;) all.push(document.createElement('div'));",
                               L"http://page.test/", 1}));
    EXPECT_EQ(document_->node_count(), page::Document::kMaxNodes);
  }));
  ASSERT_FALSE(host_.console.empty());
  EXPECT_NE(host_.console.back().text.find(L"too many nodes"), std::wstring::npos);
}

TEST_F(PageScriptTest, ReloadWithTimersAndListenersPendingEndsThemQuietly) {
  ASSERT_TRUE(OnRenderer([&] {
    ASSERT_TRUE(
        script_->Run({L"var ticks = 0; setInterval(function () { ticks++; }, 1);"
                      L"document.body.addEventListener('click', function () {});",
                      L"http://page.test/", 1}));
  }));
  EXPECT_EQ(EvalWhen(L"ticks > 2 ? 'ticking' : 'not yet'", L"ticking"), L"ticking");
  ASSERT_TRUE(OnRenderer([&] {
    const page::NodePtr body = document_->body();
    ASSERT_TRUE(RuntimeContext::Get().renderer_pages().ReloadFrame(1, frame_));
    // The old page's script is detached: events and timers reach nothing.
    EXPECT_EQ(document_->DispatchEvent(body, page::EventType::kClick),
              page::EventOutcome::kProceed);
    LoadPage();
    EXPECT_EQ(Eval(L"typeof ticks"), L"undefined") << "a new context";
  }));
  Sleep(50);
}

}  // namespace
}  // namespace cef_standin::script
