#include "win/test_paths_win.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <vector>

#include "platform/unique_resource_win.h"

namespace nimbrel::testing {

namespace {

// Every test here runs in a process of its own, and the first may start while the session's desktop
// (Wine's explorer, with the taskbar) is still coming up; windows created then can fail. Wait for the
// taskbar before any test runs.
class DesktopReady : public ::testing::Environment {
 public:
  void SetUp() override {
    const DWORD start = ::GetTickCount();
    while (!::FindWindowW(L"Shell_TrayWnd", nullptr) && ::GetTickCount() - start < 15000) ::Sleep(50);
  }
};

[[maybe_unused]] ::testing::Environment* const g_desktopReady =
    ::testing::AddGlobalTestEnvironment(new DesktopReady);

}  // namespace

std::wstring MakeScratchFolder(const wchar_t* tag) {
  static unsigned counter = 0;
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"nimbrel-test-" + std::to_wstring(::GetCurrentProcessId()) +
                        L"-" + tag + L"-" + std::to_wstring(++counter) + L"\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::wstring& folder) {
  std::wstring from = folder;
  while (!from.empty() && from.back() == L'\\') from.pop_back();
  from.push_back(L'\0');  // SHFileOperation wants a double-terminated list
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  ::SHFileOperationW(&op);
}

std::string ReadFileBytes(const std::wstring& path) {
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string bytes;
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  UniqueFileHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

HWND FindThreadDialog(HWND except, const wchar_t* caption) {
  struct Search {
    HWND except;
    const wchar_t* caption;
    HWND found;
  } search{except, caption, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t cls[16] = {};
        ::GetClassNameW(w, cls, 16);
        if (w == s->except || ::lstrcmpW(cls, L"#32770") != 0 || !::IsWindowVisible(w)) return TRUE;
        if (s->caption) {
          wchar_t text[64] = {};
          ::GetWindowTextW(w, text, 64);
          if (::lstrcmpW(text, s->caption) != 0) return TRUE;
        }
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Helper::Helper(const std::wstring& args) {
  std::wstring exe = L"Z:" NIMBREL_TEST_HOST_UNIX_PATH;
  for (wchar_t& c : exe)
    if (c == L'/') c = L'\\';
  std::wstring command = L"\"" + exe + L"\" " + args;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  ::CreatePipe(&read, &write, &inherit, 0);
  UniqueHandle reader(read), writer(write);
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = write;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    return;
  ::CloseHandle(pi.hThread);
  process = pi.hProcess;
  id = pi.dwProcessId;
  writer.reset();
  char line[16] = {};
  DWORD n = 0;
  ::ReadFile(read, line, sizeof line - 1, &n, nullptr);  // "ready" or "held" once it is set up
}

Helper::~Helper() {
  if (!process) return;
  ::TerminateProcess(process, 0);
  ::WaitForSingleObject(process, 5000);
  ::CloseHandle(process);
}

}  // namespace nimbrel::testing
