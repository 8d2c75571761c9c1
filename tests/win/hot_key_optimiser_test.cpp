// The hot-key manager, the optimiser's walk and the double-click actions against Wine's real system.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/system_actions_win.h"
#include "optimiser/optimiser.h"
#include "optimiser/optimiser_win.h"
#include "platform/hot_key_manager_win.h"
#include "platform/unique_resource_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

constexpr HotKeyValue kCtrlShiftAltF11 = 0xE07A;  // nothing else in the session uses it

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

TEST(HotKeyManager, RegistersUnderItsAtomAndRaisesTheEventForExactlyThatKey) {
  THotKeyManager manager;
  HotKeyValue got = 0;
  WORD index = 0;
  int events = 0;
  manager.OnHotKeyPressed = [&](HotKeyValue key, WORD atom) {
    got = key;
    index = atom;
    ++events;
  };
  const ATOM atom = manager.RegisterGlobalKey(kCtrlShiftAltF11);
  ASSERT_NE(atom, 0);
  wchar_t name[64] = {};
  ::GlobalGetAtomNameW(atom, name, 64);
  EXPECT_STREQ(name, L"HotKeyManagerHotKey57466");
  // The key is the system's now: nobody else gets it.
  testing::Helper other(L"try-key 57466");
  DWORD code = 0;
  ::WaitForSingleObject(other.process, 10000);
  ::GetExitCodeProcess(other.process, &code);
  EXPECT_EQ(code, 1u);

  ::PostMessageW(manager.Handle(), WM_HOTKEY, atom, MAKELPARAM(MOD_CONTROL | MOD_SHIFT | MOD_ALT, VK_F11));
  ::PostMessageW(manager.Handle(), WM_HOTKEY, atom,
                 MAKELPARAM(MOD_CONTROL | MOD_SHIFT | MOD_ALT | MOD_WIN, VK_F11));
  Pump();
  EXPECT_EQ(events, 1);
  EXPECT_EQ(got, kCtrlShiftAltF11);
  EXPECT_EQ(index, atom);

  // Applying the settings again leaves exactly one registration.
  manager.UnregisterAllKeys();
  ASSERT_NE(manager.RegisterGlobalKey(kCtrlShiftAltF11), 0);
  EXPECT_EQ(manager.Entries().size(), 1u);
  manager.UnregisterAllKeys();
  EXPECT_TRUE(manager.Entries().empty());
  EXPECT_EQ(::GlobalFindAtomW(L"HotKeyManagerHotKey57466"), 0);
}

TEST(HotKeyManager, AKeyOwnedByAnotherProcessLeavesNoEntryAndNoAtom) {
  testing::Helper holder(L"hold-key 57466");
  ASSERT_TRUE(holder.process);
  THotKeyManager manager;
  EXPECT_EQ(manager.RegisterGlobalKey(kCtrlShiftAltF11), 0);
  EXPECT_TRUE(manager.Entries().empty());
  EXPECT_EQ(::GlobalFindAtomW(L"HotKeyManagerHotKey57466"), 0);
}

TEST(Optimiser, TrimsAProcessOncePerTopLevelWindow) {
  // Wine's trimming frees nothing, so the walk is checked through the trims it asks for.
  testing::Helper host(L"windows 3");
  ASSERT_NE(host.id, 0u);
  int trims = 0, all = 0;
  MenuItem entry;
  RunOptimisation(&entry, [&] {
    TrimWindowProcesses([&](DWORD pid) {
      ++all;
      if (pid == host.id) ++trims;
    });
  });
  // The system adds a hidden input-method window to every process with windows, as Windows does.
  struct Count {
    DWORD pid;
    int windows;
  } count{host.id, 0};
  ::EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Count*>(p);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == c->pid) ++c->windows;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  EXPECT_GE(count.windows, 3);
  EXPECT_EQ(trims, count.windows);
  EXPECT_GT(all, trims);
  TrimWindowProcesses();  // the real trims: every one answers, none hangs
}

TEST(Optimiser, ARunThatThrowsStillEnablesTheEntryAgain) {
  MenuItem entry;
  int calls = 0;
  EXPECT_THROW(RunOptimisation(&entry,
                               [&] {
                                 TrimWindowProcesses([&](DWORD) {
                                   ++calls;
                                   throw std::runtime_error("trim failed");
                                 });
                               }),
               std::runtime_error);
  EXPECT_EQ(calls, 1);  // the walk stopped at the first failure
  EXPECT_TRUE(entry.Enabled);
}

TEST(SystemActions, LockAndShutDownThroughTheirSeams) {
  // Wine has LockWorkStation but cannot lock: the call is made and reported; a missing export is not.
  EXPECT_TRUE(LockComputer());
  EXPECT_FALSE(LockComputer("NoSuchExportAnywhere"));
  // Wine's Shell.Application answers ShutdownWindows with E_NOTIMPL: the failure comes out as an
  // exception with the system's text, for the general error handling.
  try {
    ShowShutdownDialog();
    ADD_FAILURE() << "Wine's ShutdownWindows succeeded";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("ShutdownWindows"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ShowShutdownDialog(L"No.Such.Object"), std::runtime_error);
}

}  // namespace
}  // namespace nimbrel
