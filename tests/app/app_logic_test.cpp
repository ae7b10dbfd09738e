#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "app/game_title.h"
#include "app/navigation_rules.h"
#include "app/player_config.h"
#include "tests/support/temp_folder.h"

namespace {

const PlatformHosts kHosts = {L"www.p.example", L"pay.p.example", L"game.p.example"};

TEST(LoginNavigationTest, RulesApplyInOrderFirstMatchWins) {
  struct Case {
    const wchar_t* url;
    LoginNavigation expected;
  };
  const Case cases[] = {
      {L"http://game.p.example/wd/start?m=game|s1|p1", LoginNavigation::kOpenGame},
      // "m=game" anywhere, even where later rules would refuse.
      {L"http://other.example/x?next=m=game", LoginNavigation::kOpenGame},
      {L"http://pay.p.example/?m=game", LoginNavigation::kOpenGame},
      {L"http://www.p.example/mg/s/new_server/", LoginNavigation::kRefuse},
      {L"http://www.p.example/kefu/help", LoginNavigation::kRefuse},
      // "/kefu/" counts only on the platform's web host.
      {L"http://elsewhere.example/kefu/", LoginNavigation::kAllow},
      {L"http://pay.p.example/order", LoginNavigation::kRefuse},
      {L"http://game.p.example/wd/news", LoginNavigation::kAllow},
      {L"http://game.p.example/hall/", LoginNavigation::kRefuse},
      {L"http://www.p.example/game/s/wdAccess/?name=vynt", LoginNavigation::kAllow},
      // Case-sensitive.
      {L"http://www.p.example/?M=GAME", LoginNavigation::kAllow},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyLoginNavigation(c.url, kHosts), c.expected)
        << std::string(c.url, c.url + wcslen(c.url));
  }
}

TEST(LoginNavigationTest, LoginAddressAppendsIdentifiersUnescaped) {
  const std::wstring entry = EntryPageUrl(kHosts);
  EXPECT_EQ(entry, L"http://www.p.example/game/s/wdAccess/?name=vynt");
  EXPECT_EQ(LoginPageUrl(entry, L"a&b", L""), entry + L"&uid=a&b&suid=");
}

TEST(GameTitleTest, DecodesServerAndPlayerFromTheAddress) {
  struct Case {
    const wchar_t* url;
    UINT code_page;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"http://g/?m=game|%41%42|Z", CP_ACP, L"AB-Z"},
      {L"http://g/?m=game|abc", CP_ACP, L"abc-abc"},
      // Only the first two parts; "+" is kept; a lone "%" stays.
      {L"x|a+b|c|d", CP_ACP, L"a+b-c|d"},
      {L"x|100%|5%4", CP_ACP, L"100%-5%4"},
      // Low bytes of wide units: U+0141 becomes "A".
      {L"x|\u0141|b", CP_ACP, L"A-b"},
      // A Chinese server name in GBK.
      {L"x|%D4%C6%C3%CE%D4%F3|%BD%A3%BF%CD", 936, L"\u4e91\u68a6\u6cfd-\u5251\u5ba2"},
      {L"x||", CP_ACP, L"-"},
  };
  for (const Case& c : cases) {
    const std::optional<std::wstring> title = GameTitleFromUrl(c.url, c.code_page);
    ASSERT_TRUE(title.has_value());
    EXPECT_EQ(*title, c.expected);
  }
  EXPECT_FALSE(GameTitleFromUrl(L"http://g/?m=game&s=1").has_value());
}

TEST(PlayerConfigTest, ReadsBothKeysCutsLongValuesAndDefaultsToEmpty) {
  test::TempFolder folder(L"qel_config");
  const std::wstring path = folder.path() + L"config.ini";
  const std::string long_value(300, 'x');
  {
    std::ofstream ini(path.c_str());
    ini << "[vynt]\nuid=" << long_value << "\nfilename=f-1\n[other]\nuid=no\n";
  }
  PlayerConfig config = ReadPlayerConfig(path);
  EXPECT_EQ(config.uid, std::wstring(255, L'x'));
  EXPECT_EQ(config.file_name, L"f-1");

  {
    std::ofstream ini(path.c_str());
    ini << "[vynt]\nfilename=only\n";
  }
  config = ReadPlayerConfig(path);
  EXPECT_EQ(config.uid, L"");
  EXPECT_EQ(config.file_name, L"only");

  config = ReadPlayerConfig(folder.path() + L"missing.ini");
  EXPECT_EQ(config.uid, L"");
  EXPECT_EQ(config.file_name, L"");
}

}  // namespace
