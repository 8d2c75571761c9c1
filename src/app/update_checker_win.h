#pragma once
// TUpdateChecker: downloads the version file in a helper run of the program and reports on the UI
// thread.
//
// The download runs in a short-lived helper process (the program itself, started with a fetch command
// line), so that the HTTP and TLS libraries it loads, and what they keep, end with it instead of staying
// in the tray program all day. A worker thread starts the helper, hands it the file to write, waits for
// it and posts the outcome to the component's message window. A deadline on the UI side ends a check
// whose helper never finishes; the worker ends the helper at the same deadline, removes the file when
// the download failed, and nothing ever waits for it, so the program can end at any moment (the helper
// then ends with it).
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_win.h"

namespace nimbrel {

// The helper's side: downloads what a fetch command line asks for into the file it inherited. An HTTP
// 200 answer whose body, at most kVersionFileLimit bytes, was written whole; through the user's proxy;
// HTTPS with TLS 1.2 or later and the system's certificate checks; no cache. Returns the helper's exit
// code: 0 when the body was written whole, 1 when the download failed, 2 for a command line that asks
// for no fetch or a handle that is no file.
int RunFetchCommand(const wchar_t* commandLine);

class TUpdateChecker {
 public:
  using GetURLEvent = std::function<void(const std::wstring& CurrentVersion, const std::wstring& DownloadURL,
                                         const std::wstring& ReleaseDate, const std::wstring& BetaVer)>;

  TUpdateChecker();
  ~TUpdateChecker();
  TUpdateChecker(const TUpdateChecker&) = delete;
  TUpdateChecker& operator=(const TUpdateChecker&) = delete;

  std::wstring URLCurrVerFile;
  std::wstring TempFile;
  // The key the versions are looked up under: the executable's name without extension.
  std::wstring ProgramName;
  // The program started for the download: this one, unless a test gives another.
  std::wstring HelperProgram;
  // The whole check, on the UI side.
  DWORD DeadlineMs = 10000;
  GetURLEvent OnGetURL;
  std::function<void()> OnDownloadFailed;
  [[nodiscard]] const std::vector<std::wstring>& Changes() const noexcept { return changes_; }

  // Returns at once; one of the events follows on this thread.
  void StartVersionCheck();

 private:
  struct Job;
  class Window : public MessageWindow {
   public:
    explicit Window(TUpdateChecker& owner) : owner_(owner) {}

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

   private:
    TUpdateChecker& owner_;
  };

  // From the worker, or with ok false from the deadline's timer.
  void Finished(UINT_PTR id, bool ok);
  void ProcessVersionFile(const std::wstring& file);

  Window window_{*this};
  std::map<UINT_PTR, std::shared_ptr<Job>> running_;
  UINT_PTR nextId_ = 1;
  std::vector<std::wstring> changes_;
};

}  // namespace nimbrel
