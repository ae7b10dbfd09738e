#pragma once

#include <string>

// What the login window does with a navigation.
enum class LoginNavigation {
  kOpenGame,  // hand the address to the launcher and cancel
  kRefuse,    // cancel silently
  kAllow,
};

// The three hosts the rules test for; the program uses the deployment's.
struct PlatformHosts {
  std::wstring platform;
  std::wstring payment;
  std::wstring game;
};

PlatformHosts DeploymentHosts();

// The login window's destination rules: case-sensitive substring tests on
// the whole address, first match wins.
LoginNavigation ClassifyLoginNavigation(const std::wstring& url, const PlatformHosts& hosts);

// The platform's entry page on its web host.
std::wstring EntryPageUrl(const PlatformHosts& hosts);

// The entry page with the player's identifiers appended unescaped.
std::wstring LoginPageUrl(const std::wstring& entry_url,
                          const std::wstring& uid,
                          const std::wstring& file_name);
