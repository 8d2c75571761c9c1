#include "platform/text_parts.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/windows_version.h"

namespace nimbrel {
namespace {

TEST(TextParts, Cuts) {
  EXPECT_EQ(LeftText(L"Nimbrel", 3), L"Nim");
  EXPECT_EQ(LeftText(L"Nim", 9), L"Nim");
  EXPECT_EQ(LeftText(L"Nim", -1), L"");
  EXPECT_EQ(RightText(L"Nimbrel", 3), L"rel");
  EXPECT_EQ(RightText(L"Nim", 9), L"Nim");
  EXPECT_EQ(RightText(L"Nim", 0), L"");
  struct Case {
    int start, count;
    const wchar_t* out;
  } mids[] = {{1, 3, L"Nim"}, {4, 2, L"br"},     {6, 9, L"el"}, {8, 1, L""},
              {0, 2, L"N"},   {-3, 9, L"Nimbr"}, {2, 0, L""}};
  for (const Case& c : mids)
    EXPECT_EQ(MidText(L"Nimbrel", c.start, c.count), c.out) << c.start << "," << c.count;
}

TEST(TextParts, ReplaceSeparator) {
  EXPECT_EQ(ReplaceSeparator(L"a|b||c|", L"|", L"\r\n"), L"a\r\nb\r\n\r\nc\r\n");
  EXPECT_EQ(ReplaceSeparator(L"no separator", L"|", L", "), L"no separator");
  EXPECT_EQ(ReplaceSeparator(L"a::b", L"::", L"-"), L"a-b");
  EXPECT_EQ(ReplaceSeparator(L"abc", L"", L"-"), L"abc");
}

TEST(TextParts, TempFileNameNeverTaken) {
  // The first two draws give names already in the folder.
  const double draws[] = {0.12345678, 0.12345678, 0.5, 0.98765432};
  std::size_t next = 0;
  const std::set<std::wstring> taken = {L"C:\\Temp\\TMP34567"};
  std::wstring name = MakeTempFileName(
      L"C:\\Temp", L"", [&] { return draws[next++]; },
      [&](const std::wstring& p) { return taken.count(p) > 0; });
  EXPECT_EQ(name, L"C:\\Temp\\TMP00000") << "0.5 still gives five digits";
  EXPECT_EQ(next, 3u);
  auto once = [](double d) { return [d] { return d; }; };
  auto none = [](const std::wstring&) { return false; };
  EXPECT_EQ(MakeTempFileName(L"D:\\", L" txt ", once(0.98765432), none), L"D:\\TMP76543.txt");
  EXPECT_EQ(MakeTempFileName(L"D:\\", L".ini", once(0.0), none), L"D:\\TMP00000.ini");
}

TEST(WindowsVersionRules, Tests) {
  struct Case {
    WindowsVersion v;
    bool nt, w2000, xp, vista;
  } cases[] = {
      {{false, 2, 10, 0}, false, false, false, false},
      {{true, 1, 4, 10}, false, false, false, false},  // Windows 98
      {{true, 2, 4, 0}, true, false, false, false},
      {{true, 2, 5, 0}, true, true, false, false},
      {{true, 2, 5, 1}, true, true, true, false},
      {{true, 2, 6, 0}, true, true, true, true},
      {{true, 2, 10, 0}, true, true, true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsWindowsNT(c.v), c.nt) << c.v.major << "." << c.v.minor;
    EXPECT_EQ(IsWindows2000OrLater(c.v), c.w2000) << c.v.major << "." << c.v.minor;
    EXPECT_EQ(IsWindowsXPOrLater(c.v), c.xp) << c.v.major << "." << c.v.minor;
    EXPECT_EQ(IsWindowsVistaOrLater(c.v), c.vista) << c.v.major << "." << c.v.minor;
  }
}

TEST(WindowsVersionRules, Windows81OrLater) {
  struct Case {
    WindowsVersion v;
    bool windows81;
  } cases[] = {
      {{false, 2, 10, 0}, false}, {{true, 2, 6, 1}, false}, {{true, 2, 6, 2}, false},
      {{true, 2, 6, 3}, true},    {{true, 2, 10, 0}, true}, {{true, 1, 10, 0}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsWindows81OrLater(c.v), c.windows81) << c.v.major << "." << c.v.minor;
}

TEST(WindowsVersionRules, PortableDevice) {
  struct Case {
    PowerReadings power;
    bool portable;
  } cases[] = {
      {{true, true, true, 1}, true},   // notebook on mains
      {{true, false, true, 0}, true},  // desktop on a UPS running from battery
      {{true, false, true, 1}, false},  {{true, false, true, 255}, false},
      {{false, true, false, 0}, false},  // nothing could be read
      {{false, false, true, 0}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsPortableDevice(c.power), c.portable);
}

}  // namespace
}  // namespace nimbrel
