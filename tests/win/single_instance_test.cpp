// Which copy runs. A window of the main window's class counts as a running copy whoever made it, also
// when the mutex cannot be opened because a copy running elevated keeps this user out of it.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/messages.h"
#include "app/single_instance_win.h"

namespace nimbrel {
namespace {

int g_secondStarts = 0;

LRESULT CALLBACK RunningCopyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SECOND_INSTANCE) ++g_secondStarts;
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeRunningCopyWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &RunningCopyProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kMainWindowClass;
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, kMainWindowClass, L"关于", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

TEST(SingleInstance, AWindowOfTheClassCountsWithOrWithoutTheMutex) {
  struct Case {
    bool mutexDenied;
    bool window;
    bool runs;
  } cases[] = {{false, false, true}, {false, true, false}, {true, false, true}, {true, true, false}};
  for (const Case& c : cases) {
    HANDLE denied = nullptr;
    if (c.mutexDenied) {
      // An empty access list: no one may open the mutex, as for a copy running under another account.
      SECURITY_DESCRIPTOR sd{};
      ASSERT_TRUE(::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
      ACL acl{};
      ASSERT_TRUE(::InitializeAcl(&acl, sizeof acl, ACL_REVISION));
      ASSERT_TRUE(::SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE));
      SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
      denied = ::CreateMutexW(&sa, FALSE, L"Local\\Nimbrel.SingleInstance");
      ASSERT_NE(denied, nullptr);
      HANDLE again = ::CreateMutexW(nullptr, FALSE, L"Local\\Nimbrel.SingleInstance");
      ASSERT_EQ(again, nullptr) << "the mutex could still be opened";
      ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    HWND window = c.window ? MakeRunningCopyWindow() : nullptr;
    g_secondStarts = 0;
    {
      SingleInstance instance;
      EXPECT_EQ(instance.Claim(0), c.runs) << c.mutexDenied << c.window;
    }
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    EXPECT_EQ(g_secondStarts, c.window ? 1 : 0) << c.mutexDenied << c.window;
    if (window) ::DestroyWindow(window);
    if (denied) ::CloseHandle(denied);
  }
}

}  // namespace
}  // namespace nimbrel
