#include "platform/proxy_route.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(ProxyRoute, TheListsProxyForTheScheme) {
  struct Case {
    const wchar_t* list;
    const wchar_t* scheme;
    std::optional<std::wstring> proxy;
  } cases[] = {
      {L"proxy:8080", L"https", L"proxy:8080"},  {L"http=a:1;https=b:2", L"https", L"b:2"},
      {L"HTTP=a:1; https=b:2", L"http", L"a:1"}, {L"ftp=c:3;socks=d:4", L"http", std::nullopt},
      {L"every:1;http=a:1", L"http", L"a:1"},    {L"every:1;http=a:1", L"https", L"every:1"},
      {L"http=a:1 http=e:5", L"http", L"a:1"},   {L"http://a:1/", L"http", L"a:1"},
      {L"https=http://b:2", L"https", L"b:2"},   {L"http=;every:1", L"http", L"every:1"},
      {L" ; ", L"http", std::nullopt},           {L"", L"http", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProxyForScheme(c.list, c.scheme), c.proxy) << c.list << " " << c.scheme;
}

TEST(ProxyRoute, ScriptsAreAskedAutoDetectionFirst) {
  using L = ProxyLookup;
  EXPECT_EQ(ProxyLookups({}), std::vector<L>{});
  EXPECT_EQ(ProxyLookups({true, L"", L"p:1", L""}), std::vector<L>{L::AutoDetect});
  EXPECT_EQ(ProxyLookups({false, L"http://wpad/proxy.pac", L"", L""}), std::vector<L>{L::ConfigScript});
  EXPECT_EQ(ProxyLookups({true, L"http://wpad/proxy.pac", L"", L""}),
            (std::vector<L>{L::AutoDetect, L::ConfigScript}));
  EXPECT_EQ(ProxyLookups({false, L"  ", L"", L""}), std::vector<L>{});
}

TEST(ProxyRoute, ScriptBeforeFixedProxyBeforeTheSystemsDefault) {
  using K = ProxyRoute::Kind;
  const UserProxySettings none;
  const UserProxySettings fixed{false, L"", L"http=a:1;https=b:2", L"<local>;*.corp"};
  const UserProxySettings httpOnly{false, L"", L"http=a:1", L""};
  const ProxyAnswer direct{true, L"", L""};
  const ProxyAnswer scripted{false, L"s:3;t:4", L"intranet"};
  const ProxyAnswer ftpOnly{false, L"ftp=f:5", L""};
  struct Case {
    const UserProxySettings& settings;
    std::optional<ProxyAnswer> answer;
    const wchar_t* scheme;
    ProxyRoute route;
  } cases[] = {
      {none, std::nullopt, L"https", {K::SystemDefault, L"", L""}},
      {fixed, std::nullopt, L"https", {K::Named, L"b:2", L"<local>;*.corp"}},
      {fixed, std::nullopt, L"http", {K::Named, L"a:1", L"<local>;*.corp"}},
      {httpOnly, std::nullopt, L"https", {K::Direct, L"", L""}},
      {none, scripted, L"https", {K::Named, L"s:3", L"intranet"}},
      {fixed, scripted, L"http", {K::Named, L"s:3", L"intranet"}},
      {fixed, direct, L"http", {K::Direct, L"", L""}},
      {none, ftpOnly, L"http", {K::Direct, L"", L""}},
  };
  for (const Case& c : cases) {
    const ProxyRoute route = ChooseProxyRoute(c.settings, c.answer, c.scheme);
    EXPECT_EQ(route.kind, c.route.kind) << c.settings.proxy << " " << c.scheme;
    EXPECT_EQ(route.proxy, c.route.proxy) << c.settings.proxy << " " << c.scheme;
    EXPECT_EQ(route.bypass, c.route.bypass) << c.settings.proxy << " " << c.scheme;
  }
}

}  // namespace
}  // namespace nimbrel
