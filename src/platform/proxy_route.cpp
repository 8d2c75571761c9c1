#include "platform/proxy_route.h"

#include <algorithm>

namespace nimbrel {

namespace {

constexpr std::wstring_view kSeparators = L"; \t\r\n";

bool SameAsciiText(std::wstring_view a, std::wstring_view b) {
  const auto lower = [](wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

// Not every HTTP stack takes a proxy written as an address (measured: Wine's does not resolve
// "http://host:port"), and all take the bare name.
std::wstring BareProxyName(std::wstring_view entry) {
  if (const std::size_t scheme = entry.find(L"://"); scheme != std::wstring_view::npos)
    entry.remove_prefix(scheme + 3);
  while (!entry.empty() && entry.back() == L'/') entry.remove_suffix(1);
  return std::wstring(entry);
}

bool NamesAnything(std::wstring_view list) {
  return list.find_first_not_of(kSeparators) != std::wstring_view::npos;
}

}  // namespace

std::vector<ProxyLookup> ProxyLookups(const UserProxySettings& settings) {
  std::vector<ProxyLookup> lookups;
  // Auto-detection first, as the Internet control panel orders them.
  if (settings.autoDetect) lookups.push_back(ProxyLookup::AutoDetect);
  if (NamesAnything(settings.autoConfigUrl)) lookups.push_back(ProxyLookup::ConfigScript);
  return lookups;
}

std::optional<std::wstring> ProxyForScheme(std::wstring_view list, std::wstring_view scheme) {
  std::optional<std::wstring> forEveryScheme;
  std::size_t at = 0;
  while (at < list.size()) {
    const std::size_t start = list.find_first_not_of(kSeparators, at);
    if (start == std::wstring_view::npos) break;
    std::size_t end = list.find_first_of(kSeparators, start);
    if (end == std::wstring_view::npos) end = list.size();
    at = end;
    std::wstring_view entry = list.substr(start, end - start);
    const std::size_t equals = entry.find(L'=');
    if (equals == std::wstring_view::npos) {
      if (!forEveryScheme && !BareProxyName(entry).empty()) forEveryScheme = BareProxyName(entry);
      continue;
    }
    std::wstring name = BareProxyName(entry.substr(equals + 1));
    if (SameAsciiText(entry.substr(0, equals), scheme) && !name.empty()) return name;
  }
  return forEveryScheme;
}

ProxyRoute ChooseProxyRoute(const UserProxySettings& settings, const std::optional<ProxyAnswer>& answer,
                            std::wstring_view scheme) {
  std::wstring_view list;
  std::wstring_view bypass;
  if (answer) {
    if (answer->direct) return {ProxyRoute::Kind::Direct, {}, {}};
    list = answer->proxy;
    bypass = answer->bypass;
  } else if (NamesAnything(settings.proxy)) {
    list = settings.proxy;
    bypass = settings.bypass;
  } else {
    return {};
  }
  // A list without a proxy for this scheme sends it direct, as one for "ftp=" only does for HTTP.
  std::optional<std::wstring> proxy = ProxyForScheme(list, scheme);
  if (!proxy) return {ProxyRoute::Kind::Direct, {}, {}};
  return {ProxyRoute::Kind::Named, std::move(*proxy), std::wstring(bypass)};
}

}  // namespace nimbrel
