#pragma once
// Which proxy a download takes: from the user's Internet proxy settings and, where they name a proxy
// script or auto-detection, what the script answered for the address.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// The user's Internet proxy settings, as the Internet control panel keeps them.
struct UserProxySettings {
  bool autoDetect = false;
  std::wstring autoConfigUrl;  // the proxy script
  // "host:port", or per scheme "http=host:port;https=host:port"; entries apart by ";" or blanks.
  std::wstring proxy;
  std::wstring bypass;  // names and patterns the proxy is not used for, "<local>"
};

// The questions a script is asked, in order; the first answer counts.
enum class ProxyLookup { AutoDetect, ConfigScript };
[[nodiscard]] std::vector<ProxyLookup> ProxyLookups(const UserProxySettings& settings);

// A script's answer for one address: no proxy, or a proxy list as in UserProxySettings::proxy.
struct ProxyAnswer {
  bool direct = false;
  std::wstring proxy;
  std::wstring bypass;
};

struct ProxyRoute {
  // SystemDefault: the user named no proxy at all, so the system's own setting for programs applies.
  enum class Kind { SystemDefault, Direct, Named };
  Kind kind = Kind::SystemDefault;
  std::wstring proxy;  // one "host[:port]" when Named
  std::wstring bypass;
  bool operator==(const ProxyRoute&) const = default;
};

// The proxy a list names for scheme ("http", "https"): its first entry for that scheme, else its
// first entry for every scheme, without a "http://" before the name. nullopt when it names none.
[[nodiscard]] std::optional<std::wstring> ProxyForScheme(std::wstring_view list, std::wstring_view scheme);

// The route for an address of the given scheme: the script's answer where there is one, else the
// fixed proxy of the settings, else the system's default.
[[nodiscard]] ProxyRoute ChooseProxyRoute(const UserProxySettings& settings,
                                          const std::optional<ProxyAnswer>& answer, std::wstring_view scheme);

}  // namespace nimbrel
