#include "optimiser/optimiser_win.h"

#include <exception>

#include "platform/unique_resource_win.h"

namespace nimbrel {

namespace {
struct Walk {
  const std::function<void(DWORD)>* trim;
  std::exception_ptr failure;
};
}  // namespace

void TrimProcessWorkingSet(DWORD processId) {
  UniqueHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
  // Both sizes at -1: the system removes as many pages as it can.
  if (process) ::SetProcessWorkingSetSize(process.get(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

BOOL CALLBACK TrimWindowProcess(HWND window, LPARAM walk) {
  auto* state = reinterpret_cast<Walk*>(walk);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  try {
    (*state->trim)(processId);
  } catch (...) {
    state->failure = std::current_exception();
    return FALSE;
  }
  return TRUE;
}

void TrimWindowProcesses(const std::function<void(DWORD processId)>& trim) {
  Walk walk{&trim, nullptr};
  ::EnumWindows(&TrimWindowProcess, reinterpret_cast<LPARAM>(&walk));
  if (walk.failure) std::rethrow_exception(walk.failure);
}

}  // namespace nimbrel
