// The tray component against Wine's real notification area, and its click logic fed with the
// shell's callback messages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/application_win.h"
#include "platform/tray_icon_win.h"

namespace nimbrel {
namespace {

void EnsureApplication() {
  if (!Application::Instance().Handle()) {
    ASSERT_TRUE(Application::Instance().Initialize(L"Nimbrel"));
  }
}

void Pump(DWORD milliseconds) {
  DWORD start = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  } while (::GetTickCount() - start < milliseconds);
}

bool RawNotify(DWORD message, const NOTIFYICONDATAW& data) {
  NOTIFYICONDATAW copy = data;
  return ::Shell_NotifyIconW(message, &copy) != FALSE;
}

class TrayIcon : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    icon_ = ::LoadIconW(nullptr, IDI_APPLICATION);
    tray_ = std::make_unique<TCoolTrayIcon>(nullptr, icon_);
    tray_->OnMouseDown = [this](MouseButton b, unsigned, int, int) { events_.push_back(Name(L"down", b)); };
    tray_->OnMouseUp = [this](MouseButton b, unsigned, int, int) { events_.push_back(Name(L"up", b)); };
    tray_->OnClick = [this] { events_.push_back(L"click"); };
  }
  void TearDown() override { tray_.reset(); }

  static std::wstring Name(const wchar_t* what, MouseButton b) {
    static const wchar_t* names[] = {L"-left", L"-right", L"-middle"};
    return std::wstring(what) + names[static_cast<int>(b)];
  }

  HICON icon_ = nullptr;
  std::unique_ptr<TCoolTrayIcon> tray_;
  std::vector<std::wstring> events_;
};

using Events = std::vector<std::wstring>;

TEST_F(TrayIcon, AddModifyBalloonDeleteAgainstTheShell) {
  ASSERT_NE(::FindWindowW(L"Shell_TrayWnd", nullptr), nullptr) << "no notification area in this session";
  EXPECT_TRUE(tray_->AddIcon());
  EXPECT_TRUE(tray_->IconVisible());
  tray_->SetHint(L"内存使用: 52%");
  EXPECT_TRUE(tray_->UpdateIcon());
  EXPECT_TRUE(tray_->ShowBalloon(L"Nimbrel", L"Nimbrel 正在运行", 1, 10));
  EXPECT_TRUE(tray_->RemoveIcon());
  EXPECT_FALSE(tray_->IconVisible());
  EXPECT_FALSE(tray_->UpdateIcon()) << "the shell still knows the removed icon";
}

TEST_F(TrayIcon, TaskbarCreatedBringsBackAVisibleIconOnly) {
  const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  ASSERT_TRUE(tray_->AddIcon());
  // What a restarted taskbar looks like to the program: the icon is simply gone.
  ASSERT_TRUE(RawNotify(NIM_DELETE, tray_->NotifyData()));
  ASSERT_FALSE(RawNotify(NIM_MODIFY, tray_->NotifyData()));
  ::SendMessageW(Application::Instance().Handle(), taskbarCreated, 0, 0);
  EXPECT_TRUE(RawNotify(NIM_MODIFY, tray_->NotifyData())) << "a visible icon was not added again";

  ASSERT_TRUE(tray_->RemoveIcon());
  ::SendMessageW(Application::Instance().Handle(), taskbarCreated, 0, 0);
  EXPECT_FALSE(RawNotify(NIM_MODIFY, tray_->NotifyData())) << "a hidden icon came back";
}

TEST_F(TrayIcon, IdsAreSmallAndDistinct) {
  TCoolTrayIcon other(nullptr);
  EXPECT_NE(other.Id(), tray_->Id());
  EXPECT_LT(other.Id(), 1000u);
  EXPECT_EQ(other.NotifyData().uCallbackMessage, 0x800u);
  EXPECT_EQ(other.NotifyData().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(other.NotifyData().hWnd, TCoolTrayIcon::MessageWindow());
}

TEST_F(TrayIcon, HintIsCutTo127UnitsAndSentEmptyWhenHidden) {
  std::wstring hint;
  for (int i = 0; i < 200; ++i) hint += static_cast<wchar_t>(L'A' + i % 26);
  tray_->SetHint(hint);
  EXPECT_EQ(std::wstring(tray_->NotifyData().szTip), hint.substr(0, 127));

  tray_->SetShowHint(false);
  EXPECT_EQ(std::wstring(tray_->NotifyData().szTip), L"");
  tray_->SetShowHint(true);
  tray_->SetHint(L"");
  EXPECT_EQ(std::wstring(tray_->NotifyData().szTip), L"");
}

TEST_F(TrayIcon, BalloonTextsAreCutAndTheFlagsRestored) {
  tray_->AddIcon();
  std::wstring title(80, L'T');
  std::wstring text(300, L'x');
  tray_->ShowBalloon(title, text, 2, 10);
  const NOTIFYICONDATAW& d = tray_->NotifyData();
  EXPECT_EQ(std::wstring(d.szInfoTitle), title.substr(0, 63));
  EXPECT_EQ(std::wstring(d.szInfo), text.substr(0, 255));
  EXPECT_EQ(d.uTimeout, 10000u);
  EXPECT_EQ(d.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
  EXPECT_EQ(d.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  tray_->ShowBalloon(L"a", L"b", 3, 40);
  EXPECT_EQ(tray_->NotifyData().dwInfoFlags, static_cast<DWORD>(NIIF_ERROR));
  EXPECT_EQ(tray_->NotifyData().uTimeout, 40000u);
}

TEST_F(TrayIcon, SingleClickWithDoubleClickHandlerComesAfterTheDoubleClickTime) {
  bool doubled = false;
  tray_->OnDblClick = [&] { doubled = true; };
  tray_->HandleCallback(WM_LBUTTONDOWN);
  tray_->HandleCallback(WM_LBUTTONUP);
  EXPECT_EQ(events_, (Events{L"down-left", L"up-left"}));
  Pump(::GetDoubleClickTime() / 2);
  EXPECT_EQ(events_, (Events{L"down-left", L"up-left"})) << "the click came before the double-click time";
  Pump(::GetDoubleClickTime() / 2 + 300);
  EXPECT_EQ(events_, (Events{L"down-left", L"up-left", L"click"}));
  EXPECT_FALSE(doubled);
}

TEST_F(TrayIcon, DoubleClickRaisesNoClick) {
  int doubled = 0;
  tray_->OnDblClick = [&] { ++doubled; };
  tray_->HandleCallback(WM_LBUTTONDOWN);
  tray_->HandleCallback(WM_LBUTTONUP);
  tray_->HandleCallback(WM_LBUTTONDBLCLK);
  tray_->HandleCallback(WM_LBUTTONUP);
  Pump(::GetDoubleClickTime() + 300);
  EXPECT_EQ(doubled, 1);
  EXPECT_EQ(events_, (Events{L"down-left", L"up-left", L"up-left"}));
}

TEST_F(TrayIcon, WithoutDoubleClickHandlerTheClickComesAtButtonUp) {
  tray_->HandleCallback(WM_LBUTTONDOWN);
  tray_->HandleCallback(WM_LBUTTONUP);
  EXPECT_EQ(events_, (Events{L"down-left", L"click", L"up-left"}));
}

TEST_F(TrayIcon, DisabledRaisesNoMouseEventsButBalloonEvents) {
  int balloons = 0;
  tray_->OnBalloonHintShow = [&] { ++balloons; };
  tray_->OnBalloonHintClick = [&] { ++balloons; };
  tray_->SetEnabled(false);
  for (UINT m : std::initializer_list<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                            WM_MBUTTONDOWN, WM_MBUTTONUP, WM_LBUTTONDBLCLK})
    tray_->HandleCallback(m);
  tray_->HandleCallback(NIN_BALLOONSHOW);
  tray_->HandleCallback(NIN_BALLOONUSERCLICK);
  Pump(50);
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(balloons, 2);
}

TEST_F(TrayIcon, RightButtonUpDependsOnTheNotifyBehaviour) {
  tray_->HandleCallback(WM_RBUTTONDOWN);
  tray_->HandleCallback(WM_RBUTTONUP);
  tray_->HandleCallback(WM_CONTEXTMENU);
  EXPECT_EQ(events_, (Events{L"down-right", L"up-right"}));
  events_.clear();
  tray_->SetNotifyBehaviour(1);
  tray_->HandleCallback(WM_RBUTTONDOWN);
  tray_->HandleCallback(WM_RBUTTONUP);
  tray_->HandleCallback(WM_CONTEXTMENU);
  EXPECT_EQ(events_, (Events{L"down-right", L"up-right"}));
  tray_->HandleCallback(NIN_KEYSELECT);
  EXPECT_EQ(events_.size(), 3u);
}

// Keyboard users: Enter or Space on the selected icon is one key selection (the shell reports Enter
// twice), Shift+F10 or the menu key the menu beside the icon; the mouse is as it was, and the
// context-menu notification that follows a right click is the mouse's. Only behaviour 2 does this.
TEST_F(TrayIcon, KeyboardSelectionAndMenuWithBehaviourTwo) {
  int selections = 0;
  std::vector<RECT> menus;
  tray_->OnKeySelect = [&] { ++selections; };
  tray_->OnKeyMenu = [&](const RECT& r) { menus.push_back(r); };
  tray_->HandleCallback(NIN_KEYSELECT);
  tray_->HandleCallback(WM_CONTEXTMENU);
  EXPECT_EQ(selections + menus.size(), 0u) << "behaviour 0 knows no keyboard";

  ASSERT_TRUE(tray_->AddIcon());
  tray_->SetNotifyBehaviour(2);
  tray_->HandleCallback(NIN_KEYSELECT);
  tray_->HandleCallback(NIN_KEYSELECT);
  EXPECT_EQ(selections, 1) << "Enter's second report";
  Pump(300);
  tray_->HandleCallback(NIN_KEYSELECT);
  EXPECT_EQ(selections, 2) << "a second press";
  tray_->HandleCallback(NIN_SELECT);
  EXPECT_EQ(selections, 2) << "a left click's selection is the mouse's";

  tray_->HandleCallback(WM_RBUTTONDOWN);
  tray_->HandleCallback(WM_RBUTTONUP);
  tray_->HandleCallback(WM_CONTEXTMENU);
  EXPECT_EQ(events_, (Events{L"down-right", L"up-right"}));
  EXPECT_TRUE(menus.empty()) << "the right click has opened the menu already";
  Pump(::GetDoubleClickTime() + 50);
  tray_->HandleCallback(WM_CONTEXTMENU);
  ASSERT_EQ(menus.size(), 1u);
  const RECT icon = tray_->IconRect();
  EXPECT_EQ(std::memcmp(&menus[0], &icon, sizeof(RECT)), 0);
  EXPECT_LT(menus[0].left, menus[0].right);
  tray_->RemoveIcon();
}

class FakeMenu : public TrayPopupMenu {
 public:
  bool autoPopup = false;
  int popups = 0;
  int defaultClicks = 0;
  bool AutoPopup() const override { return autoPopup; }
  void Popup(int, int) override { ++popups; }
  bool ClickDefaultItem() override {
    ++defaultClicks;
    return true;
  }
};

TEST_F(TrayIcon, MenuWithoutAutomaticPopupIsLeftToTheProgram) {
  FakeMenu menu;
  tray_->SetPopupMenu(&menu);
  tray_->OnDblClick = [] {};
  tray_->HandleCallback(WM_RBUTTONDOWN);
  tray_->HandleCallback(WM_LBUTTONDBLCLK);
  EXPECT_EQ(menu.popups, 0);
  EXPECT_EQ(menu.defaultClicks, 0);

  menu.autoPopup = true;
  tray_->HandleCallback(WM_RBUTTONDOWN);
  tray_->HandleCallback(WM_LBUTTONDBLCLK);
  EXPECT_EQ(menu.popups, 1);
  EXPECT_EQ(menu.defaultClicks, 1);
  tray_->SetLeftPopup(true);
  tray_->HandleCallback(WM_LBUTTONDBLCLK);
  EXPECT_EQ(menu.defaultClicks, 1) << "with left popup the default item is not clicked";
  Pump(::GetDoubleClickTime() + 100);
}

TEST(SimpleTimer, StartStopAndTheSharedCounts) {
  int before = TSimpleTimer::ReferenceCount();
  {
    int fired = 0;
    TSimpleTimer timer(0, [&](TSimpleTimer&) { ++fired; });
    EXPECT_EQ(TSimpleTimer::ReferenceCount(), before + 1);
    EXPECT_NE(TSimpleTimer::HandlerWindow(), nullptr);
    EXPECT_FALSE(timer.Start()) << "an interval of 0 cannot start";
    EXPECT_FALSE(timer.Enabled());

    int active = TSimpleTimer::ActiveCount();
    timer.SetInterval(15);
    EXPECT_TRUE(timer.Start());
    EXPECT_EQ(TSimpleTimer::ActiveCount(), active + 1);
    Pump(200);
    EXPECT_GE(fired, 3);

    timer.SetInterval(0);  // stops, stays enabled
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(TSimpleTimer::ActiveCount(), active);
    int now = fired;
    Pump(100);
    EXPECT_EQ(fired, now);
    timer.SetInterval(15);  // enabled, so it runs again
    EXPECT_EQ(TSimpleTimer::ActiveCount(), active + 1);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(TSimpleTimer::ActiveCount(), active);
  }
  EXPECT_EQ(TSimpleTimer::ReferenceCount(), before);
}

}  // namespace
}  // namespace nimbrel

namespace nimbrel {
namespace {

TEST_F(TrayIcon, CyclingShowsEachIconAndReportsTheNextIndex) {
  std::vector<HICON> icons = {::LoadIconW(nullptr, IDI_APPLICATION), ::LoadIconW(nullptr, IDI_WARNING),
                              ::LoadIconW(nullptr, IDI_ERROR)};
  tray_->SetIconList(icons);
  std::vector<int> next;
  tray_->OnCycle = [&](int index) { next.push_back(index); };
  tray_->SetCycleInterval(30);
  tray_->SetCycleIcons(true);
  Pump(400);
  tray_->SetCycleIcons(false);
  ASSERT_GE(next.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(next[i], static_cast<int>((i + 1) % 3)) << "tick " << i;
  tray_->SetIconIndex(7);
  EXPECT_EQ(tray_->IconIndex(), 2) << "an index past the list is clamped to its last image";
}

TEST_F(TrayIcon, EnterAndExitFollowThePointer) {
  int entered = 0;
  int exited = 0;
  tray_->OnMouseEnter = [&] { ++entered; };
  tray_->OnMouseExit = [&] { ++exited; };
  tray_->SetWantEnterExitEvents(true);
  ::SetCursorPos(100, 100);
  tray_->HandleCallback(WM_MOUSEMOVE);
  tray_->HandleCallback(WM_MOUSEMOVE);
  EXPECT_EQ(entered, 1) << "a second move is no second enter";
  Pump(100);
  EXPECT_EQ(exited, 0) << "the pointer has not moved away";
  ::SetCursorPos(400, 300);
  Pump(150);
  EXPECT_EQ(exited, 1);
  tray_->SetWantEnterExitEvents(false);
}

class OwnerForm : public Window {};

TEST(TrayIconOwner, MinimizeToTrayHidesTheMainForm) {
  if (!Application::Instance().Handle()) {
    ASSERT_TRUE(Application::Instance().Initialize(L"Nimbrel"));
  }
  OwnerForm form;
  ASSERT_TRUE(form.Create(L"NimbrelOwnerForm", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 50, 50, 200, 100,
                          Application::Instance().Handle()));
  Application::Instance().SetMainForm(form.handle());
  {
    TCoolTrayIcon tray(&form, ::LoadIconW(nullptr, IDI_APPLICATION));
    int minimized = 0;
    tray.OnMinimizeToTray = [&] { ++minimized; };
    ::SendMessageW(form.handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimized, 0) << "minimise-to-tray is off";
    ::ShowWindow(form.handle(), SW_RESTORE);
    tray.SetMinimizeToTray(true);
    ::SendMessageW(form.handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimized, 1);
    EXPECT_FALSE(::IsWindowVisible(form.handle()));
    EXPECT_TRUE(tray.IconVisible());
    tray.RestoreMainWindow();
    EXPECT_TRUE(::IsWindowVisible(form.handle()));
    tray.HideMainWindow();
    EXPECT_FALSE(::IsWindowVisible(form.handle()));
  }
  // The component put the form's own window procedure back.
  EXPECT_EQ(::GetPropW(form.handle(), L"NimbrelTrayOwner"), nullptr);
  Application::Instance().SetMainForm(nullptr);
}

}  // namespace
}  // namespace nimbrel
