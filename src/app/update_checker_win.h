#pragma once
// TUpdateChecker: downloads the version file on a worker thread and reports on the UI thread.
//
// The worker never touches the component: it shares only a small job record with it and posts its
// outcome to the component's message window. A deadline on the UI side ends a check whose server
// accepts and never answers (the HTTP stack's own timeouts are not honoured everywhere); the worker is
// then abandoned, removes its own file when it finally returns, and nothing ever waits for it, so the
// program can end at any moment.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_win.h"

namespace nimbrel {

// Downloads url into file: an HTTP 200 answer whose body, at most maxBytes, was written whole. Through
// the user's proxy; HTTPS with TLS 1.2 or later and the system's certificate checks; no cache. Blocks; a
// failed download leaves no file. The file is made new: where one exists already (another program's, made
// after its name was chosen), the download fails and leaves that file alone. timeoutMs is for the whole
// download, where the HTTP stack keeps its timeouts.
bool DownloadToFile(const std::wstring& url, const std::wstring& file, std::size_t maxBytes, DWORD timeoutMs);

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
