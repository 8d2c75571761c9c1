// Test tool run under Wine, standing in for another program:
//   test_host windows N      owns N top-level windows (hidden) until it is ended
//   test_host try-key VALUE  exit code 0 when the hot key VALUE could be registered, 1 when it is taken
//   test_host hold-key VALUE holds the hot key VALUE until it is ended; prints "held" or exits with 1
//   test_host launch N PATH  starts N copies of the program PATH suspended, then lets them all go at once
//   test_host hold-memory MB holds MB megabytes in its working set until it is ended; prints "ready"
// VALUE is the settings file's form: virtual key, Shift 0x2000, Ctrl 0x4000, Alt 0x8000.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Register(unsigned value) {
  UINT modifiers = 0;
  if (value & 0x2000) modifiers |= MOD_SHIFT;
  if (value & 0x4000) modifiers |= MOD_CONTROL;
  if (value & 0x8000) modifiers |= MOD_ALT;
  return ::RegisterHotKey(nullptr, 1, modifiers, value & 0xFF) != 0;
}

int Pump() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const unsigned value = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 0));
  if (std::strcmp(argv[1], "try-key") == 0) {
    if (!Register(value)) return 1;
    ::UnregisterHotKey(nullptr, 1);
    return 0;
  }
  if (std::strcmp(argv[1], "hold-key") == 0) {
    if (!Register(value)) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    return Pump();
  }
  if (std::strcmp(argv[1], "launch") == 0 && argc >= 4) {
    // Suspended first, so that the copies race from the same instant, not from the order of creation.
    PROCESS_INFORMATION started[64] = {};
    const unsigned count = value < 64 ? value : 64;
    for (unsigned i = 0; i < count; ++i) {
      STARTUPINFOA startup{};
      startup.cb = sizeof startup;
      if (!::CreateProcessA(argv[3], nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                            &startup, &started[i]))
        return 1;
    }
    for (unsigned i = 0; i < count; ++i) ::ResumeThread(started[i].hThread);
    for (unsigned i = 0; i < count; ++i) {
      ::CloseHandle(started[i].hThread);
      ::CloseHandle(started[i].hProcess);
    }
    return 0;
  }
  if (std::strcmp(argv[1], "hold-memory") == 0) {
    const SIZE_T bytes = static_cast<SIZE_T>(value) << 20;
    auto* block =
        static_cast<char*>(::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!block) return 1;
    for (SIZE_T at = 0; at < bytes; at += 4096) block[at] = 1;  // touched, so it is in the working set
    std::printf("ready\n");
    std::fflush(stdout);
    return Pump();
  }
  if (std::strcmp(argv[1], "windows") == 0) {
    for (unsigned i = 0; i < value; ++i)
      ::CreateWindowExW(0, L"STATIC", L"test_host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                        nullptr);
    std::printf("ready\n");
    std::fflush(stdout);
    return Pump();
  }
  return 2;
}
