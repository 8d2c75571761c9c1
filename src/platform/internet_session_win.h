#pragma once
// WinHTTP sessions that reach the Internet the way the user's other programs do: through the proxy the
// system, or the user's Internet settings, give for the address, with current TLS.
#include <windows.h>

#include <winhttp.h>

#include <string>

namespace nimbrel {

// The time a download may take, from a start on another thread.
struct Deadline {
  DWORD started = 0;  // GetTickCount
  DWORD budgetMs = 0;
  // At least 1, so that it can be given to the HTTP stack's timeouts as it is.
  [[nodiscard]] int RemainingMs() const;
};

// A session for url (an http or https address), its timeouts set to what is left of the deadline, which
// the proxy lookups share; null when none could be made. The caller closes it.
[[nodiscard]] HINTERNET OpenUserSession(const wchar_t* agent, const std::wstring& url,
                                        const Deadline& deadline);

using SetInternetOption = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);
// Asks the session (through setOption, or WinHTTP where that is null) for TLS 1.2 and 1.3, or for 1.2 alone
// where the system refuses 1.3. Returns the protocols taken, 0 when neither set was (the system's own choice
// then stays).
DWORD RequireCurrentTls(HINTERNET session, SetInternetOption setOption = nullptr);

}  // namespace nimbrel
