#pragma once
// Extra processes for the benchmarks that need a busy machine: hidden copies of notepad, idling in
// their message loops, each with windows of its own. Ended when the handles are dropped.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/unique_resource_win.h"

struct ExtraProcesses {
  std::vector<nimbrel::UniqueHandle> processes;
  void End() {
    for (auto& p : processes) ::TerminateProcess(p.get(), 0);
    processes.clear();
  }
  ~ExtraProcesses() { End(); }
};

// Copies of `exe` started with `arguments`, without windows of their own and so without a connection to
// the display: hundreds of them fit in one session.
inline void StartWindowless(int count, const std::wstring& exe, const std::wstring& arguments,
                            ExtraProcesses& into) {
  for (int i = 0; i < count; ++i) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    if (::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                         nullptr, &si, &pi)) {
      ::CloseHandle(pi.hThread);
      into.processes.emplace_back(pi.hProcess);
    }
  }
}

inline void StartHiddenNotepads(int count, ExtraProcesses& into) {
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring exe = std::wstring(system) + L"\\notepad.exe";
  for (int i = 0; i < count; ++i) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe + L"\"";
    if (::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                         &pi)) {
      ::CloseHandle(pi.hThread);
      into.processes.emplace_back(pi.hProcess);
    }
  }
  for (auto& p : into.processes) ::WaitForInputIdle(p.get(), 5000);
}
