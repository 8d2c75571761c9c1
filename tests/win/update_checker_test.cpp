// The update check against a server of the test's own on the loopback interface.
#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <winsock2.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/update_checker_win.h"
#include "platform/internet_session_win.h"
#include "platform/system_libraries_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

using testing::MakeScratchFolder;
using testing::ReadFileBytes;
using testing::RemoveTree;
using testing::WriteFileBytes;

// Answers every request with the same bytes, sent in pieces with a pause before each piece but the
// first; then closes the connection (HTTP/1.0).
class LoopbackServer {
 public:
  struct Piece {
    std::string bytes;
    DWORD pauseBeforeMs = 0;
  };

  explicit LoopbackServer(std::vector<Piece> pieces) : pieces_(std::move(pieces)) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
      return;
    port_ = ::ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    ::closesocket(listener_);
    ::WSACleanup();
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  [[nodiscard]] std::wstring Url() const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/version.ini";
  }
  [[nodiscard]] int Requests() const { return requests_; }

 private:
  void Serve() {
    while (!stop_) {
      // A short wait, so that the destructor's stop is seen without closing a socket under accept.
      fd_set ready;
      FD_ZERO(&ready);
      FD_SET(listener_, &ready);
      timeval wait{0, 50 * 1000};
      if (::select(0, &ready, nullptr, nullptr, &wait) != 1) continue;
      const SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
      }
      ++requests_;
      for (const Piece& piece : pieces_) {
        ::Sleep(piece.pauseBeforeMs);
        ::send(client, piece.bytes.data(), static_cast<int>(piece.bytes.size()), 0);
      }
      ::shutdown(client, SD_SEND);
      ::closesocket(client);
    }
  }

  std::vector<Piece> pieces_;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
};

const std::string kVersionFile = "[CurrentVersions]\r\nNimbrel=1.6.0.0\r\n[CurrentHistory]\r\n1=first\r\n";

std::string Head(std::size_t bodyLength) {
  return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(bodyLength) + "\r\n\r\n";
}

// The outcome of one check: "answer 1.6.0.0", "failed", or "" when none came in time.
std::string RunCheck(TUpdateChecker& checker, DWORD waitMs) {
  std::string outcome;
  checker.OnGetURL = [&](const std::wstring& current, const std::wstring&, const std::wstring&,
                         const std::wstring&) {
    outcome = "answer " + std::string(current.begin(), current.end());
  };
  checker.OnDownloadFailed = [&] { outcome = "failed"; };
  checker.StartVersionCheck();
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (outcome.empty() && ::GetTickCount() - start < waitMs) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(5);
  }
  return outcome;
}

class UpdateChecker : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeScratchFolder(L"update");
    checker_.TempFile = folder_ + L"TMP12345";
    checker_.ProgramName = L"Nimbrel";
    // The download runs in the program itself, started as its helper.
    checker_.HelperProgram = L"Z:" NIMBREL_EXE_UNIX_PATH;
  }
  void TearDown() override { RemoveTree(folder_); }

  std::wstring folder_;
  TUpdateChecker checker_;
};

TEST_F(UpdateChecker, ReadsTheVersionFileAndRemovesItsFile) {
  LoopbackServer server({{Head(kVersionFile.size()) + kVersionFile}});
  checker_.URLCurrVerFile = server.Url();
  EXPECT_EQ(RunCheck(checker_, 15000), "answer 1.6.0.0");
  EXPECT_EQ(checker_.Changes(), (std::vector<std::wstring>{L"first"}));
  EXPECT_EQ(::GetFileAttributesW(checker_.TempFile.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateChecker, NeverWritesOverAFileThatTookItsNameMeanwhile) {
  // Another program made a file of that name after the name was chosen.
  WriteFileBytes(checker_.TempFile, "another program's data");
  LoopbackServer server({{Head(kVersionFile.size()) + kVersionFile}});
  checker_.URLCurrVerFile = server.Url();
  EXPECT_EQ(RunCheck(checker_, 15000), "failed");
  EXPECT_EQ(ReadFileBytes(checker_.TempFile), "another program's data");
}

TEST_F(UpdateChecker, ASlowServerHasTheWholeDeadline) {
  // A pause in the body longer than a third of the deadline, well inside the whole of it.
  checker_.DeadlineMs = 4000;
  const std::size_t half = kVersionFile.size() / 2;
  LoopbackServer server(
      {{Head(kVersionFile.size()) + kVersionFile.substr(0, half)}, {kVersionFile.substr(half), 1600}});
  checker_.URLCurrVerFile = server.Url();
  EXPECT_EQ(RunCheck(checker_, 15000), "answer 1.6.0.0");
  EXPECT_EQ(server.Requests(), 1);
}

// Helpers this process started that still run.
int RunningHelpers() {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
    if (entry.th32ParentProcessID == ::GetCurrentProcessId() &&
        ::lstrcmpiW(entry.szExeFile, L"Nimbrel.exe") == 0)
      ++count;
  ::CloseHandle(snapshot);
  return count;
}

TEST_F(UpdateChecker, AHelperOutOfTimeIsEndedAndLeavesNoFile) {
  checker_.DeadlineMs = 1500;
  LoopbackServer server(
      {{Head(kVersionFile.size()) + kVersionFile.substr(0, 10)}, {kVersionFile.substr(10), 4000}});
  checker_.URLCurrVerFile = server.Url();
  EXPECT_EQ(RunCheck(checker_, 15000), "failed");
  const DWORD start = ::GetTickCount();
  while (
      (RunningHelpers() > 0 || ::GetFileAttributesW(checker_.TempFile.c_str()) != INVALID_FILE_ATTRIBUTES) &&
      ::GetTickCount() - start < 5000)
    ::Sleep(50);
  EXPECT_EQ(RunningHelpers(), 0);
  EXPECT_EQ(::GetFileAttributesW(checker_.TempFile.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(server.Requests(), 1);
}

// The protocol sets a session was asked for, and which the fake system takes.
std::vector<DWORD> g_asked;
DWORD g_unknownProtocols = 0;

BOOL WINAPI FakeSetOption(HINTERNET, DWORD option, LPVOID value, DWORD size) {
  if (option != WINHTTP_OPTION_SECURE_PROTOCOLS || size != sizeof(DWORD)) return FALSE;
  const DWORD protocols = *static_cast<DWORD*>(value);
  g_asked.push_back(protocols);
  return (protocols & g_unknownProtocols) == 0;
}

TEST(CurrentTls, AsksForTls13WhereTheSystemKnowsItAndTls12AloneElsewhere) {
  constexpr DWORD kTls12 = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2, kTls13 = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
  struct Case {
    DWORD unknown, taken;
    std::vector<DWORD> asked;
  } cases[] = {
      {0, kTls12 | kTls13, {kTls12 | kTls13}},
      {kTls13, kTls12, {kTls12 | kTls13, kTls12}},
      {kTls12 | kTls13, 0, {kTls12 | kTls13, kTls12}},
  };
  for (const Case& c : cases) {
    g_asked.clear();
    g_unknownProtocols = c.unknown;
    EXPECT_EQ(RequireCurrentTls(nullptr, &FakeSetOption), c.taken) << c.unknown;
    EXPECT_EQ(g_asked, c.asked) << c.unknown;
  }
}

TEST(CurrentTls, TheSystemTakesTls12AtLeast) {
  const WinHttp& http = WinHttp::Get();
  ASSERT_TRUE(http);
  const HINTERNET session = http.WinHttpOpen(L"test", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                             WINHTTP_NO_PROXY_BYPASS, 0);
  ASSERT_NE(session, nullptr);
  EXPECT_NE(RequireCurrentTls(session) & WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2, 0u);
  http.WinHttpCloseHandle(session);
}

}  // namespace
}  // namespace nimbrel
