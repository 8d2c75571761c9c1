// The link label in a window of its own and in a dialog made from a template, found on its own
// picture (WM_PRINTCLIENT) by the link colour; the input box answered by a thread timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/unique_resource_win.h"
#include "widgets/input_box_win.h"
#include "widgets/link_label_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

constexpr COLORREF kLink = 0xCC6600, kActiveLink = 0xFF9977;
constexpr int kLabelId = 42;

struct Notice {
  UINT_PTR id;
  int link;
  std::wstring text;
  bool operator==(const Notice&) const = default;
};
void PrintTo(const Notice& n, std::ostream* out) {
  *out << "{id " << n.id << ", link " << n.link << ", " << n.text.size() << " characters}";
}
std::vector<Notice> g_notices;
HBRUSH g_background = nullptr;  // the parent's answer to WM_CTLCOLORSTATIC, when set

LRESULT CALLBACK HostProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == kLinkLabelClicked) {
    auto* click = reinterpret_cast<LinkLabelClick*>(lParam);
    g_notices.push_back({click->hdr.idFrom, click->linkNumber, click->linkText});
    return 0;
  }
  if (msg == WM_CTLCOLORSTATIC && g_background) return reinterpret_cast<LRESULT>(g_background);
  return ::DefWindowProcW(w, msg, wParam, lParam);
}

struct Host {
  UniqueWindow window, label;
  explicit Host(const wchar_t* markup) {
    EXPECT_TRUE(RegisterLinkLabelClass() && RegisterLinkLabelClass()) << "a second call is harmless";
    WNDCLASSW wc{};
    wc.lpfnWndProc = &HostProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LinkLabelTestHost";
    ::RegisterClassW(&wc);
    window.reset(::CreateWindowExW(0, wc.lpszClassName, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                   420, 260, nullptr, nullptr, wc.hInstance, nullptr));
    label.reset(::CreateWindowExW(0, kLinkLabelClass, markup, WS_CHILD | WS_VISIBLE, 10, 10, 360, 150,
                                  window.get(), reinterpret_cast<HMENU>(kLabelId), wc.hInstance, nullptr));
    g_notices.clear();
  }
};

// What the label draws, as COLORREFs.
struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  [[nodiscard]] COLORREF At(POINT p) const { return pixels[static_cast<size_t>(p.y * width + p.x)]; }
  [[nodiscard]] bool Has(COLORREF c) const {
    return std::find(pixels.begin(), pixels.end(), c) != pixels.end();
  }
  // The first pixel of colour c in reading order, or the last one.
  [[nodiscard]] POINT Find(COLORREF c, bool last = false) const {
    const auto at = static_cast<int>(last ? pixels.rend() - std::find(pixels.rbegin(), pixels.rend(), c) - 1
                                          : std::find(pixels.begin(), pixels.end(), c) - pixels.begin());
    return {at % width, at / width};
  }
};

Picture Snap(HWND label) {
  RECT r{};
  ::GetClientRect(label, &r);
  Picture p{r.right, r.bottom, {}};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  {
    SelectObjectGuard select(dc.get(), dib.get());
    ::SendMessageW(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ::GdiFlush();
    for (int i = 0; i < p.width * p.height; ++i) {
      const uint32_t v = static_cast<const uint32_t*>(bits)[i];
      p.pixels.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
  }
  return p;
}

void Click(HWND label, POINT p) {
  ::SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  ::SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

TEST(LinkLabel, ClicksOnLinksNotifyTheParentWithNumberAndText) {
  Host host(L"<link>first</link><br>plain <b>text</b><br><link>主题部分</link>");
  Picture before = Snap(host.label.get());
  ASSERT_TRUE(before.Has(kLink));
  EXPECT_FALSE(before.Has(kActiveLink));
  const POINT first = before.Find(kLink), second = before.Find(kLink, true);
  ASSERT_GT(second.y, first.y + 10) << "the links are two lines apart";

  Click(host.label.get(), {before.width - 2, first.y});          // beside the first link
  Click(host.label.get(), {first.x, (first.y + second.y) / 2});  // the plain line
  EXPECT_TRUE(g_notices.empty());
  const std::pair<POINT, const wchar_t*> cursors[] = {{first, IDC_HAND},
                                                      {{before.width - 2, first.y}, IDC_ARROW}};
  for (auto [at, cursor] : cursors) {
    ::ClientToScreen(host.label.get(), &at);
    ::SetCursorPos(at.x, at.y);
    // Under Wine the pointer reaches its place through the X server: wait until the system reports it
    // (on a busy machine that has taken more than a second).
    POINT now{};
    for (int i = 0; i < 500 && (!::GetCursorPos(&now) || now.x != at.x || now.y != at.y); ++i) ::Sleep(10);
    // The pointer's own messages may still be on their way: let them through and ask again a while.
    for (int i = 0; i < 50; ++i) {
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      ::SendMessageW(host.label.get(), WM_SETCURSOR, reinterpret_cast<WPARAM>(host.label.get()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      if (::GetCursor() == ::LoadCursorW(nullptr, cursor)) break;
      ::Sleep(20);
    }
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, cursor));
  }
  Click(host.label.get(), first);
  Click(host.label.get(), second);
  EXPECT_EQ(g_notices, (std::vector<Notice>{{kLabelId, 0, L"first"}, {kLabelId, 1, L"主题部分"}}));
  EXPECT_EQ(Snap(host.label.get()).At(first), kActiveLink) << "clicked links keep the second colour";

  ::SetWindowTextW(host.label.get(), L"see <LINK>other</LINK>");
  Picture replaced = Snap(host.label.get());
  ASSERT_TRUE(replaced.Has(kLink));
  EXPECT_FALSE(replaced.Has(kActiveLink)) << "a new caption forgets the clicks";
  const POINT other = replaced.Find(kLink);
  ::SendMessageW(host.label.get(), WM_MOUSEMOVE, 0, MAKELPARAM(other.x, other.y));
  EXPECT_EQ(Snap(host.label.get()).At(other), kActiveLink) << "under the mouse";
  ::SendMessageW(host.label.get(), WM_MOUSEMOVE, 0, MAKELPARAM(replaced.width - 2, replaced.height - 2));
  EXPECT_EQ(Snap(host.label.get()).At(other), kLink);
  g_notices.clear();
  Click(host.label.get(), other);
  EXPECT_EQ(g_notices, (std::vector<Notice>{{kLabelId, 0, L"other"}}));
}

TEST(LinkLabel, BackgroundFromTheParentTextColoursAndDisabledLook) {
  Host host(L"plain <link>link</link>");
  const POINT corner{300, 140};
  EXPECT_EQ(Snap(host.label.get()).At(corner), ::GetSysColor(COLOR_BTNFACE));
  UniqueBrush green(::CreateSolidBrush(RGB(10, 200, 30)));
  g_background = green.get();
  Picture painted = Snap(host.label.get());
  g_background = nullptr;
  EXPECT_EQ(painted.At(corner), RGB(10, 200, 30));
  EXPECT_TRUE(painted.Has(::GetSysColor(COLOR_WINDOWTEXT)));
  ::EnableWindow(host.label.get(), FALSE);
  Picture disabled = Snap(host.label.get());
  EXPECT_FALSE(disabled.Has(kLink));
  EXPECT_TRUE(disabled.Has(::GetSysColor(COLOR_GRAYTEXT)));
}

struct GdiCounts {
  DWORD system;  // Wine answers 0; Windows the real count
  int fonts, bitmaps, dcs;
  bool operator==(const GdiCounts&) const = default;
};
GdiCounts CountGdi() {
  return {::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), UniqueFont::Live(), UniqueBitmap::Live(),
          UniqueMemoryDc::Live()};
}

TEST(LinkLabel, RepaintsCaptionsAndFontsLeaveNoGdiObjectBehind) {
  LOGFONTW lf{};
  lf.lfHeight = -15;
  lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
  UniqueFont large(::CreateFontIndirectW(&lf));
  const wchar_t* captions[] = {L"<b>a</b> <i>b</i> <u>c</u> <link><b><i>d</i></b></link>",
                               L"<link>x</link> y"};
  const GdiCounts empty = CountGdi();
  {
    Host host(captions[0]);
    GdiCounts warm{};
    for (int i = 0; i < 200; ++i) {
      ::SetWindowTextW(host.label.get(), captions[i % 2]);
      if (i % 50 == 0)
        ::SendMessageW(host.label.get(), WM_SETFONT, reinterpret_cast<WPARAM>(large.get()), TRUE);
      ::RedrawWindow(host.label.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      if (i == 1) warm = CountGdi();
    }
    EXPECT_EQ(CountGdi(), warm);
    EXPECT_GT(warm.fonts, empty.fonts) << "the bold, italic and underlined variants";
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(host.label.get(), WM_GETFONT, 0, 0)), large.get());
  }
  EXPECT_EQ(CountGdi(), empty);
}

// A dialog template holding one label (DLGTEMPLATEEX, items by class name).
std::vector<WORD> LabelDialogTemplate(const std::wstring& markup) {
  std::vector<WORD> t = {1, 0xFFFF, 0, 0, 0, 0};
  auto dword = [&](DWORD d) { t.insert(t.end(), {LOWORD(d), HIWORD(d)}); };
  auto text = [&](std::wstring_view s) {
    t.insert(t.end(), s.begin(), s.end());
    t.push_back(0);
  };
  dword(WS_POPUP | WS_CAPTION | DS_SETFONT);
  t.insert(t.end(), {1, 0, 0, 200, 80, 0, 0});  // one item, position, size, no menu, dialog class
  text(L"labels");
  t.insert(t.end(), {8, FW_NORMAL, MAKEWORD(0, DEFAULT_CHARSET)});
  text(L"Tahoma");
  if (t.size() % 2) t.push_back(0);
  dword(0), dword(0), dword(WS_CHILD | WS_VISIBLE);
  t.insert(t.end(), {5, 5, 190, 60});
  dword(kLabelId);
  text(kLinkLabelClass);
  text(markup);
  t.push_back(0);
  return t;
}

TEST(LinkLabel, WorksFromADialogTemplateWithTheDialogFont) {
  ASSERT_TRUE(RegisterLinkLabelClass());
  const std::vector<WORD> form = LabelDialogTemplate(L"栏颜色可在 <link>主题部分</link> 自定义");
  HWND dialog = ::CreateDialogIndirectParamW(
      ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(form.data()), nullptr,
      [](HWND, UINT msg, WPARAM, LPARAM lParam) -> INT_PTR {
        if (msg != WM_NOTIFY) return msg == WM_INITDIALOG;
        auto* click = reinterpret_cast<LinkLabelClick*>(lParam);
        g_notices.push_back({click->hdr.idFrom, click->linkNumber, click->linkText});
        return TRUE;
      },
      0);
  ASSERT_NE(dialog, nullptr);
  UniqueWindow owner(dialog);
  HWND label = ::GetDlgItem(dialog, kLabelId);
  ASSERT_NE(label, nullptr);
  const LRESULT dialogFont = ::SendMessageW(dialog, WM_GETFONT, 0, 0);
  EXPECT_NE(dialogFont, 0);
  EXPECT_EQ(::SendMessageW(label, WM_GETFONT, 0, 0), dialogFont);
  g_notices.clear();
  const Picture picture = Snap(label);
  ASSERT_TRUE(picture.Has(kLink));
  Click(label, picture.Find(kLink));
  EXPECT_EQ(g_notices, (std::vector<Notice>{{kLabelId, 0, L"主题部分"}}));
}

// The input box, answered from inside its modal loop: IDOK and IDCANCEL as commands to the box,
// VK_RETURN and VK_ESCAPE as keys to the edit.
int g_answer = IDOK;
std::wstring g_seen;  // caption|prompt|edit text|selection
RECT g_seenBox{};

void CALLBACK AnswerInputBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = testing::FindThreadDialog();
  if (!dialog) return;
  ::KillTimer(nullptr, timer);
  HWND edit = ::GetDlgItem(dialog, kInputBoxEditId);
  wchar_t caption[32] = {}, prompt[32] = {}, text[32] = {};
  ::GetWindowTextW(dialog, caption, 32);
  ::GetWindowTextW(::FindWindowExW(dialog, nullptr, L"Static", nullptr), prompt, 32);
  ::GetWindowTextW(edit, text, 32);
  const auto selection = static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0));
  g_seen = std::wstring(caption) + L"|" + prompt + L"|" + text + L"|" + std::to_wstring(LOWORD(selection)) +
           L"-" + std::to_wstring(HIWORD(selection));
  ::GetWindowRect(dialog, &g_seenBox);
  ::SetDlgItemTextW(dialog, kInputBoxEditId, L"夜间主题");
  if (g_answer == IDOK || g_answer == IDCANCEL) {
    ::PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(g_answer), 0);
  } else {
    ::PostMessageW(edit, WM_KEYDOWN, static_cast<WPARAM>(g_answer), 1);
    ::PostMessageW(edit, WM_KEYUP, static_cast<WPARAM>(g_answer), 0xC0000001);
  }
}

TEST(InputBox, OkGivesTheEditedTextAndCancelLeavesTheValue) {
  Host owner(L"");
  struct Case {
    int answer;
    bool result;
    const wchar_t* value;
  } cases[] = {{IDOK, true, L"夜间主题"},
               {IDCANCEL, false, L"默认"},
               {VK_RETURN, true, L"夜间主题"},
               {VK_ESCAPE, false, L"默认"}};
  for (const Case& c : cases) {
    g_answer = c.answer;
    g_seen.clear();
    std::wstring value = L"默认";
    ::SetTimer(nullptr, 0, 100, &AnswerInputBox);
    EXPECT_EQ(InputBox(owner.window.get(), L"保存主题", L"主题名称", value), c.result) << c.answer;
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(g_seen, L"保存主题|主题名称|默认|0-2") << "the value shows all selected";
  }
  RECT host{};
  ::GetWindowRect(owner.window.get(), &host);
  EXPECT_NEAR(g_seenBox.left + g_seenBox.right, host.left + host.right, 2) << "centred on the owner";
  EXPECT_NEAR(g_seenBox.top + g_seenBox.bottom, host.top + host.bottom, 2);
}

}  // namespace
}  // namespace nimbrel
