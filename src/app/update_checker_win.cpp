#include "app/update_checker_win.h"

#include <windows.h>

#include <winhttp.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "app/update_check.h"
#include "platform/application_win.h"
#include "platform/internet_session_win.h"
#include "platform/system_info_win.h"
#include "platform/system_libraries_win.h"
#include "settings/profile_ini_store_win.h"

namespace nimbrel {
namespace {

constexpr UINT kCheckFinished = WM_APP + 1;

// The worker's handles. They live on worker threads only, so they keep out of the handle counts the
// UI thread's soak tests read.
class WorkerHandle {
 public:
  using Close = void (*)(void*);
  WorkerHandle(void* handle, Close close) : handle_(handle), close_(close) {}
  ~WorkerHandle() {
    if (handle_) close_(handle_);
  }
  WorkerHandle(const WorkerHandle&) = delete;
  WorkerHandle& operator=(const WorkerHandle&) = delete;
  [[nodiscard]] void* get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

 private:
  void* handle_;
  Close close_;
};

void CloseInternet(void* h) { WinHttp::Get().WinHttpCloseHandle(h); }
void CloseFile(void* h) { ::CloseHandle(h); }

// The length the answer states, when it states one.
std::optional<std::uint64_t> StatedLength(HINTERNET request) {
  wchar_t text[32] = {};
  DWORD size = sizeof text;
  if (!WinHttp::Get().WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                                          text, &size, WINHTTP_NO_HEADER_INDEX))
    return std::nullopt;
  std::uint64_t length = 0;
  const wchar_t* digit = text;
  for (; *digit >= L'0' && *digit <= L'9' && length < (1ULL << 40); ++digit)
    length = length * 10 + static_cast<std::uint64_t>(*digit - L'0');
  if (digit == text || *digit != L'\0') return std::nullopt;
  return length;
}

// The body into file: whole, that is up to the end the server marks (its stated length, where it
// states one), and at most maxBytes.
bool Receive(HINTERNET request, HANDLE file, std::size_t maxBytes) {
  const std::optional<std::uint64_t> stated = StatedLength(request);
  if (stated && *stated > maxBytes) return false;
  std::size_t total = 0;
  char buffer[8192];
  for (;;) {
    DWORD read = 0;
    if (!WinHttp::Get().WinHttpReadData(request, buffer, sizeof buffer, &read)) return false;
    if (read == 0) return !stated || total == *stated;
    total += read;
    if (total > maxBytes) return false;
    DWORD written = 0;
    if (!::WriteFile(file, buffer, read, &written, nullptr) || written != read) return false;
  }
}

// The download into file, in this process: the helper's side.
bool Download(const std::wstring& url, HANDLE file, std::size_t maxBytes, const Deadline& deadline) {
  if (!WinHttp::Get()) return false;
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttp::Get().WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
  object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (object.empty()) object = L"/";

  // Each step may take all the time that is left: a slow step followed by quick ones still makes it.
  WorkerHandle session(OpenUserSession(L"Nimbrel", url, deadline), &CloseInternet);
  if (!session) return false;
  WorkerHandle connection(WinHttp::Get().WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0),
                          &CloseInternet);
  if (!connection) return false;
  const DWORD flags =
      WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  WorkerHandle request(
      WinHttp::Get().WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES, flags),
      &CloseInternet);
  if (!request) return false;
  if (!WinHttp::Get().WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                         WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttp::Get().WinHttpReceiveResponse(request.get(), nullptr))
    return false;
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttp::Get().WinHttpQueryHeaders(
          request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
          &status, &size, WINHTTP_NO_HEADER_INDEX) ||
      status != HTTP_STATUS_OK)
    return false;
  return Receive(request.get(), file, maxBytes);
}

// Runs program's fetch of url into file and waits for it until the deadline: true when it wrote the
// body whole. The helper inherits the file and nothing else, shows no busy cursor, and ends with this
// program when that ends first.
bool FetchInHelper(const std::wstring& program, const std::wstring& url, HANDLE file,
                   const Deadline& deadline) {
  std::wstring line = FetchCommandLine(
      program, {HandleToULong(file), static_cast<std::uint32_t>(deadline.RemainingMs()), url});
  if (line.empty()) return false;
  SIZE_T size = 0;
  ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<unsigned char> storage(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
  STARTUPINFOEXW start{};
  start.StartupInfo.cb = sizeof start;
  start.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
  start.lpAttributeList = attributes;
  WorkerHandle job(::CreateJobObjectW(nullptr, nullptr), &CloseFile);
  if (job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  // Inheritable only while the helper is made.
  PROCESS_INFORMATION started{};
  const bool made = ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &file,
                                                sizeof file, nullptr, nullptr) &&
                    ::SetHandleInformation(file, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) &&
                    ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                                     CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                     &start.StartupInfo, &started);
  ::SetHandleInformation(file, HANDLE_FLAG_INHERIT, 0);
  ::DeleteProcThreadAttributeList(attributes);
  if (!made) return false;
  WorkerHandle process(started.hProcess, &CloseFile);
  if (job) ::AssignProcessToJobObject(job.get(), started.hProcess);
  ::ResumeThread(started.hThread);
  ::CloseHandle(started.hThread);
  if (::WaitForSingleObject(started.hProcess, static_cast<DWORD>(deadline.RemainingMs())) != WAIT_OBJECT_0) {
    ::TerminateProcess(started.hProcess, 1);
    ::WaitForSingleObject(started.hProcess, 5000);
    return false;
  }
  DWORD code = 1;
  return ::GetExitCodeProcess(started.hProcess, &code) && code == 0;
}

// ownsFile is set while the file at path is one this call made: the name was chosen before, and another
// program may have taken it since; that file is never written over nor removed.
bool Fetch(const std::wstring& program, const std::wstring& url, const std::wstring& path,
           const Deadline& deadline, std::atomic<bool>& ownsFile) {
  HANDLE created = ::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (created == INVALID_HANDLE_VALUE) return false;
  ownsFile = true;
  bool ok = false;
  bool pending = false;
  {
    WorkerHandle file(created, &CloseFile);
    // Removed when its last handle closes unless the download succeeds: also when the program ends
    // while the helper runs, which ends the worker before it could remove the file.
    FILE_DISPOSITION_INFO remove{TRUE};
    pending = ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &remove, sizeof remove);
    ok = pending && FetchInHelper(program, url, file.get(), deadline);
    if (ok) {
      remove.DeleteFile = FALSE;
      pending = !::SetFileInformationByHandle(file.get(), FileDispositionInfo, &remove, sizeof remove);
      ok = !pending;
    }
  }
  if (!ok && (pending || ::DeleteFileW(path.c_str()))) ownsFile = false;
  return ok;
}

}  // namespace

int RunFetchCommand(const wchar_t* commandLine) {
  const std::optional<FetchCommand> command = ParseFetchCommandLine(commandLine);
  if (!command) return 2;
  HANDLE file = ULongToHandle(command->fileHandle);
  if (::GetFileType(file) != FILE_TYPE_DISK) return 2;
  return Download(command->url, file, kVersionFileLimit, Deadline{::GetTickCount(), command->timeoutMs}) ? 0
                                                                                                         : 1;
}

struct TUpdateChecker::Job {
  std::wstring helper;
  std::wstring url;
  std::wstring file;
  HWND target = nullptr;
  Deadline deadline{};
  std::atomic<bool> abandoned{false};
  std::atomic<bool> ownsFile{false};

  void RemoveOwnFile() const {
    if (ownsFile) ::DeleteFileW(file.c_str());
  }
};

TUpdateChecker::TUpdateChecker() : HelperProgram(ExecutablePath()) {
  window_.CreateMessageOnly(L"TUpdateCheckerWindow");
}

TUpdateChecker::~TUpdateChecker() {
  // The workers go on without us: they remove their files and post to a window that is gone.
  for (auto& [id, job] : running_) job->abandoned = true;
}

void TUpdateChecker::StartVersionCheck() {
  auto job = std::make_shared<Job>();
  job->helper = HelperProgram;
  job->url = URLCurrVerFile;
  job->file = TempFile;
  job->target = window_.handle();
  job->deadline = {::GetTickCount(), DeadlineMs};
  const UINT_PTR id = nextId_++;
  running_[id] = job;
  ::SetTimer(window_.handle(), id, DeadlineMs, nullptr);
  try {
    std::thread([job, id] {
      const bool ok = Fetch(job->helper, job->url, job->file, job->deadline, job->ownsFile);
      if (job->abandoned) {
        job->RemoveOwnFile();
        return;
      }
      if (!::PostMessageW(job->target, kCheckFinished, id, ok ? 1 : 0)) job->RemoveOwnFile();
    }).detach();
  } catch (const std::system_error&) {
    Finished(id, false);
  }
}

void TUpdateChecker::Finished(UINT_PTR id, bool ok) {
  // An id no longer running is the late answer of a check that ran out of time: its file is gone.
  auto found = running_.find(id);
  if (found == running_.end()) return;
  const std::shared_ptr<Job> job = found->second;
  running_.erase(found);
  ::KillTimer(window_.handle(), id);
  if (!ok) {
    // Marked before the file is removed: a worker that still writes it (and so keeps it from being
    // removed here) sees the mark when it returns and removes the file itself; one that saw no mark
    // had closed its file before, so the removal here succeeds.
    job->abandoned = true;
    job->RemoveOwnFile();
    if (OnDownloadFailed) OnDownloadFailed();
    return;
  }
  ProcessVersionFile(job->file);
}

void TUpdateChecker::ProcessVersionFile(const std::wstring& file) {
  VersionFile version;
  {
    ProfileIniStore store(file);
    version = ReadVersionFile(store, ProgramName);
  }
  ::DeleteFileW(file.c_str());
  changes_ = std::move(version.Changes);
  if (OnGetURL) OnGetURL(version.CurrentVersion, version.DownloadURL, version.ReleaseDate, version.BetaVer);
}

LRESULT TUpdateChecker::Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kCheckFinished) {
    owner_.Finished(static_cast<UINT_PTR>(wParam), lParam != 0);
    return 0;
  }
  if (msg == WM_TIMER) {
    owner_.Finished(static_cast<UINT_PTR>(wParam), false);
    return 0;
  }
  return DefaultProc(msg, wParam, lParam);
}

}  // namespace nimbrel
