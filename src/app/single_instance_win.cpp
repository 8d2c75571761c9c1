#include "app/single_instance_win.h"

#include "app/messages.h"

namespace nimbrel {
namespace {

constexpr wchar_t kMutexName[] = L"Local\\Nimbrel.SingleInstance";
constexpr DWORD kPollMs = 50;

bool Owned(DWORD wait) { return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED; }

}  // namespace

bool SingleInstance::Claim(DWORD waitMs) {
  mutex_.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
  // Without a mutex there is nothing to decide with: run, as a single copy would.
  if (!mutex_) return true;
  // The owner holds the mutex for as long as it runs; Windows frees it when the process ends.
  if (Owned(::WaitForSingleObject(mutex_.get(), 0))) return true;
  for (DWORD waited = 0; waited < waitMs; waited += kPollMs) {
    // The running copy may still be creating its window.
    if (HWND running = ::FindWindowW(kMainWindowClass, nullptr)) {
      ::PostMessageW(running, WM_SECOND_INSTANCE, 0, 0);
      return false;
    }
    // Or it may be ending: then this copy takes over.
    if (Owned(::WaitForSingleObject(mutex_.get(), kPollMs))) return true;
  }
  return false;
}

}  // namespace nimbrel
