// The bold of MakeFontPair as the About window's title shows it: the font a static control hands back,
// its weight once selected, and its picture (WM_PRINTCLIENT) darker than the regular face's at the
// same height. Wine reports weight 700 for its Tahoma Bold, which draws as the regular face above
// 12 pixels: only the picture tells.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/display_scale_win.h"
#include "platform/system_info_win.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {
namespace {

LRESULT CALLBACK WhiteHost(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
  return ::DefWindowProcW(w, msg, wParam, lParam);
}

// The title as the About window makes it: "Nimbrel" in a static control on a white window.
struct Title {
  UniqueWindow host, label;
  explicit Title(HFONT font) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &WhiteHost;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"AboutFontTestHost";
    ::RegisterClassW(&wc);
    host.reset(::CreateWindowExW(0, wc.lpszClassName, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 120, nullptr,
                                 nullptr, wc.hInstance, nullptr));
    label.reset(::CreateWindowExW(0, L"STATIC", L"Nimbrel", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 300, 60,
                                  host.get(), nullptr, wc.hInstance, nullptr));
    ::SendMessageW(label.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  // The darkness of the control's picture on its white ground.
  [[nodiscard]] std::uint64_t Ink() const {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, 300, -60, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    UniqueBitmap picture(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    SelectObjectGuard selected(dc.get(), picture.get());
    std::memset(bits, 0xFF, 300 * 60 * 4);
    ::SendMessageW(label.get(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ::GdiFlush();
    std::uint64_t ink = 0;
    for (int i = 0; i < 300 * 60 * 4; ++i)
      if (i % 4 != 3) ink += 0xFFu - static_cast<const std::uint8_t*>(bits)[i];
    return ink;
  }
};

LOGFONTW Tahoma(int height) {
  LOGFONTW font{};
  font.lfHeight = height;
  font.lfWeight = FW_NORMAL;
  ::lstrcpyW(font.lfFaceName, L"Tahoma");
  return font;
}

struct Case {
  const char* name;
  LOGFONTW base;
  int percent;
};

TEST(AboutFont, TitleIsBoldInWeightAndInPicture) {
  const NONCLIENTMETRICSW metrics = NonClientMetrics();
  const Case cases[] = {
      {"the About title", metrics.lfMessageFont, 150},     // as CreateAboutControls makes it
      {"the menu's bold items", metrics.lfMenuFont, 100},  // as the tray menu makes them
      {"Tahoma at 16 pixels", Tahoma(-11), 150},           // the title on Wine's default
      {"Tahoma at 24 pixels", Tahoma(-16), 150},           // on a larger message font
      {"Tahoma at 11 pixels", Tahoma(-11), 100},           // a size where Wine's bold shows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UniqueFont regular, bold;
    MakeFontPair(c.base, c.percent, regular, bold);
    ASSERT_TRUE(regular && bold);
    Title title(bold.get());
    const auto shown = reinterpret_cast<HFONT>(::SendMessageW(title.label.get(), WM_GETFONT, 0, 0));
    ASSERT_EQ(shown, bold.get());
    LOGFONTW asked{};
    ASSERT_EQ(::GetObjectW(shown, sizeof asked, &asked), static_cast<int>(sizeof asked));
    EXPECT_GE(asked.lfWeight, FW_BOLD);
    EXPECT_EQ(asked.lfHeight, c.base.lfHeight * c.percent / 100);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    TEXTMETRICW metricsOfFace{};
    {
      SelectObjectGuard selected(dc.get(), shown);
      ASSERT_TRUE(::GetTextMetricsW(dc.get(), &metricsOfFace));
    }
    EXPECT_GE(metricsOfFace.tmWeight, FW_SEMIBOLD);

    // The regular face at the title's height, drawn by the same control.
    LOGFONTW same = c.base;
    same.lfHeight = asked.lfHeight;
    UniqueFont sameHeight(::CreateFontIndirectW(&same));
    const std::uint64_t boldInk = title.Ink();
    ::SendMessageW(title.label.get(), WM_SETFONT, reinterpret_cast<WPARAM>(sameHeight.get()), FALSE);
    const std::uint64_t plainInk = title.Ink();
    EXPECT_GT(plainInk, 0u);
    EXPECT_GE(boldInk * 5, plainInk * 6) << "bold " << boldInk << ", regular " << plainInk;
  }
}

// A text drawn in black on white, as 32-bit pixels of a field large enough for it.
std::vector<std::uint32_t> Picture(HFONT font, const std::wstring& text) {
  constexpr int kWidth = 400;
  constexpr int kHeight = 80;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  UniqueBitmap field(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  SelectObjectGuard selected(dc.get(), field.get());
  SelectObjectGuard selectedFont(dc.get(), font);
  std::memset(bits, 0xFF, kWidth * kHeight * 4);
  ::SetTextColor(dc.get(), RGB(0, 0, 0));
  ::SetBkMode(dc.get(), TRANSPARENT);
  ::TextOutW(dc.get(), 2, 2, text.c_str(), static_cast<int>(text.size()));
  ::GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  return std::vector<std::uint32_t>(pixels, pixels + kWidth * kHeight);
}

std::uint64_t InkOf(const std::vector<std::uint32_t>& picture) {
  std::uint64_t ink = 0;
  for (std::uint32_t p : picture)
    for (int shift = 0; shift < 24; shift += 8) ink += 0xFFu - ((p >> shift) & 0xFFu);
  return ink;
}

// The menu's bold entry and the About title at every scale: the bold font draws real glyphs for the
// Chinese text (two different characters give two different pictures, where empty boxes would give
// the same one twice), and draws them heavier than the regular font.
TEST(AboutFont, ChineseBoldDrawsGlyphsAtEveryScale) {
  const std::wstring entry = L"启动任务管理器(T)";
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const NONCLIENTMETRICSW metrics = NonClientMetricsForDpi(dpi);
    for (const LOGFONTW& base : {metrics.lfMenuFont, metrics.lfMessageFont}) {
      UniqueFont regular, bold;
      MakeFontPair(base, 100, regular, bold, entry);
      ASSERT_TRUE(regular && bold);
      const auto first = Picture(bold.get(), L"启");
      const auto second = Picture(bold.get(), L"动");
      EXPECT_GT(InkOf(first), 0u);
      EXPECT_NE(first, second) << "the bold font draws both characters alike: boxes";
      const std::uint64_t boldInk = InkOf(Picture(bold.get(), entry));
      const std::uint64_t plainInk = InkOf(Picture(regular.get(), entry));
      EXPECT_GE(boldInk * 10, plainInk * 11) << "bold " << boldInk << ", regular " << plainInk;
    }
  }
}

}  // namespace
}  // namespace nimbrel
