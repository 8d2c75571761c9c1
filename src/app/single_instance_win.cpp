#include "app/single_instance_win.h"

#include "app/messages.h"

namespace nimbrel {
namespace {

constexpr wchar_t kMutexName[] = L"Local\\Nimbrel.SingleInstance";
constexpr DWORD kPollMs = 50;

bool Owned(DWORD wait) { return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED; }

// A window of the main window's class is a running copy, whoever made it: it is told, and this copy ends.
bool ToldRunningCopy() {
  HWND running = ::FindWindowW(kMainWindowClass, nullptr);
  if (running) ::PostMessageW(running, WM_SECOND_INSTANCE, 0, 0);
  return running != nullptr;
}

}  // namespace

bool SingleInstance::Claim(DWORD waitMs) {
  mutex_.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
  // No mutex (a copy running elevated keeps this user out of its own): the window alone decides.
  if (!mutex_) return !ToldRunningCopy();
  // The owner holds the mutex for as long as it runs; Windows frees it when the process ends.
  if (Owned(::WaitForSingleObject(mutex_.get(), 0))) return !ToldRunningCopy();
  for (DWORD waited = 0; waited < waitMs; waited += kPollMs) {
    // The running copy may still be creating its window.
    if (ToldRunningCopy()) return false;
    // Or it may be ending: then this copy takes over.
    if (Owned(::WaitForSingleObject(mutex_.get(), kPollMs))) return !ToldRunningCopy();
  }
  return false;
}

}  // namespace nimbrel
