#include "platform/internet_session_win.h"

#include <optional>
#include <string_view>

#include "platform/deadline.h"
#include "platform/proxy_route.h"
#include "platform/system_info_win.h"
#include "platform/system_libraries_win.h"

namespace nimbrel {

namespace {

// The strings WinHTTP hands over are the caller's to free, with GlobalFree.
std::wstring TakeText(LPWSTR text) {
  if (!text) return {};
  std::wstring copy(text);
  ::GlobalFree(text);
  return copy;
}

UserProxySettings ReadUserProxySettings() {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
  if (!WinHttp::Get().WinHttpGetIEProxyConfigForCurrentUser(&config)) return {};
  UserProxySettings settings;
  settings.autoDetect = config.fAutoDetect != FALSE;
  settings.autoConfigUrl = TakeText(config.lpszAutoConfigUrl);
  settings.proxy = TakeText(config.lpszProxy);
  settings.bypass = TakeText(config.lpszProxyBypass);
  return settings;
}

void SetTimeouts(HINTERNET session, const Deadline& deadline) {
  const int timeout = deadline.RemainingMs();
  WinHttp::Get().WinHttpSetTimeouts(session, timeout, timeout, timeout, timeout);
}

std::optional<ProxyAnswer> AskProxyScript(const wchar_t* agent, const std::wstring& url,
                                          const UserProxySettings& settings, const Deadline& deadline) {
  const std::vector<ProxyLookup> lookups = ProxyLookups(settings);
  if (lookups.empty()) return std::nullopt;
  const HINTERNET session = WinHttp::Get().WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_NO_PROXY,
                                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) return std::nullopt;
  std::optional<ProxyAnswer> answer;
  // One question at a time: Wine refuses auto-detection and a script URL asked together.
  for (ProxyLookup lookup : lookups) {
    SetTimeouts(session, deadline);
    WINHTTP_AUTOPROXY_OPTIONS options{};
    if (lookup == ProxyLookup::AutoDetect) {
      options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
      options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    } else {
      options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
      options.lpszAutoConfigUrl = settings.autoConfigUrl.c_str();
    }
    // The script is the user's own network's: it may have the user's logon.
    options.fAutoLogonIfChallenged = TRUE;
    WINHTTP_PROXY_INFO info{};
    if (!WinHttp::Get().WinHttpGetProxyForUrl(session, url.c_str(), &options, &info)) continue;
    answer = ProxyAnswer{info.dwAccessType == WINHTTP_ACCESS_TYPE_NO_PROXY, TakeText(info.lpszProxy),
                         TakeText(info.lpszProxyBypass)};
    break;
  }
  WinHttp::Get().WinHttpCloseHandle(session);
  return answer;
}

// Where the system has no automatic proxy: the user's Internet settings, as the Internet control panel
// applies them. The proxy goes to WinHttpOpen, as every system honours it there (Wine ignores it when it
// is set later as an option, on the session or on the request).
HINTERNET OpenWithUserProxy(const wchar_t* agent, const std::wstring& url, const Deadline& deadline) {
  const std::wstring_view scheme = std::wstring_view(url).substr(0, url.find(L':'));
  const UserProxySettings settings = ReadUserProxySettings();
  const ProxyRoute route = ChooseProxyRoute(settings, AskProxyScript(agent, url, settings, deadline), scheme);
  switch (route.kind) {
    case ProxyRoute::Kind::Named:
      return WinHttp::Get().WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, route.proxy.c_str(),
                                        route.bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : route.bypass.c_str(),
                                        0);
    case ProxyRoute::Kind::Direct:
      return WinHttp::Get().WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                        WINHTTP_NO_PROXY_BYPASS, 0);
    case ProxyRoute::Kind::SystemDefault:
      break;
  }
  return WinHttp::Get().WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
}

}  // namespace

int Deadline::RemainingMs() const {
  return static_cast<int>(nimbrel::RemainingMs(started, ::GetTickCount(), budgetMs));
}

HINTERNET OpenUserSession(const wchar_t* agent, const std::wstring& url, const Deadline& deadline) {
  // The automatic proxy (Windows 8.1 and later) is the system's own choice, with its cached answers.
  // It is asked for only where the system says it is that new, as Wine takes it whatever version it
  // reports and then ignores every proxy setting; a system that refuses it all the same gets the user's
  // settings applied here.
  if (!WinHttp::Get()) return nullptr;
  HINTERNET session = nullptr;
  if (IsWindows81OrLater())
    session = WinHttp::Get().WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) session = OpenWithUserProxy(agent, url, deadline);
  if (!session) return nullptr;
  RequireCurrentTls(session);
  SetTimeouts(session, deadline);
  return session;
}

DWORD RequireCurrentTls(HINTERNET session, SetInternetOption setOption) {
  // Older systems offer only TLS 1.0 unless asked, which servers refuse today; and they refuse the whole
  // set when it holds a protocol they do not know.
  if (!setOption) setOption = WinHttp::Get().WinHttpSetOption;
  for (DWORD protocols : {DWORD{WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3},
                          DWORD{WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2}}) {
    if (setOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) return protocols;
  }
  return 0;
}

}  // namespace nimbrel
