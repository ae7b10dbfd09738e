#include "app/navigation_rules.h"

#include "app/deployment_config.h"

namespace {

bool Contains(const std::wstring& text, const std::wstring& part) {
  return !part.empty() && text.find(part) != std::wstring::npos;
}

}  // namespace

PlatformHosts DeploymentHosts() {
  return {kPlatformHost, kPaymentHost, kGameHost};
}

LoginNavigation ClassifyLoginNavigation(const std::wstring& url, const PlatformHosts& hosts) {
  if (url.find(L"m=game") != std::wstring::npos)
    return LoginNavigation::kOpenGame;
  if (url.find(L"mg/s/new_server/") != std::wstring::npos)
    return LoginNavigation::kRefuse;
  if (Contains(url, hosts.platform + L"/kefu/"))
    return LoginNavigation::kRefuse;
  if (Contains(url, hosts.payment))
    return LoginNavigation::kRefuse;
  if (Contains(url, hosts.game))
    return Contains(url, hosts.game + L"/wd/") ? LoginNavigation::kAllow : LoginNavigation::kRefuse;
  return LoginNavigation::kAllow;
}

std::wstring EntryPageUrl(const PlatformHosts& hosts) {
  return L"http://" + hosts.platform + L"/game/s/wdAccess/?name=vynt";
}

std::wstring LoginPageUrl(const std::wstring& entry_url,
                          const std::wstring& uid,
                          const std::wstring& file_name) {
  return entry_url + L"&uid=" + uid + L"&suid=" + file_name;
}
