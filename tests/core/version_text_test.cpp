#include "platform/version_text.h"

#include <gtest/gtest.h>

#include <ostream>

#include "test_value_name.h"

namespace nimbrel {
namespace {

struct VersionCase {
  const wchar_t* version;
  const wchar_t* shortText;
  const wchar_t* longText;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << testing_names::Token(c.version); }

class FormatVersionTextTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FormatVersionTextTest, Formats) {
  EXPECT_EQ(FormatVersionText(GetParam().version, true), GetParam().shortText) << GetParam().version;
  EXPECT_EQ(FormatVersionText(GetParam().version, false), GetParam().longText) << GetParam().version;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FormatVersionTextTest,
    ::testing::Values(VersionCase{L"1.5.0.0", L"1.5", L"1.5"}, VersionCase{L"1.5.2.0", L"1.52", L"1.52"},
                      VersionCase{L"1.5.2.3", L"1.52 SR3", L"1.52 SR3 (Service Release 3)"},
                      VersionCase{L"1.5.0.3", L"1.5 SR3", L"1.5 SR3 (Service Release 3)"},
                      VersionCase{L"0.0.0.0", L"0.0", L"0.0"},
                      VersionCase{L"2.10.11.12", L"2.1011 SR12", L"2.1011 SR12 (Service Release 12)"},
                      VersionCase{L"01.05.02.00", L"1.52", L"1.52"},
                      VersionCase{L"65535.65535.65535.65535", L"65535.6553565535 SR65535",
                                  L"65535.6553565535 SR65535 (Service Release 65535)"}));

INSTANTIATE_TEST_SUITE_P(NotFourNumbers, FormatVersionTextTest,
                         ::testing::Values(VersionCase{L"", L"", L""}, VersionCase{L"1.5.2", L"", L""},
                                           VersionCase{L"1.5.2.3.4", L"", L""}, VersionCase{L"1", L"", L""},
                                           VersionCase{L"1.5.2.", L"", L""}, VersionCase{L".1.5.2", L"", L""},
                                           VersionCase{L"1..2.3", L"", L""},
                                           VersionCase{L"1.5.x.3", L"", L""},
                                           VersionCase{L"1.5.2.3a", L"", L""},
                                           VersionCase{L"1.5.-2.3", L"", L""},
                                           VersionCase{L"1.5. 2.3", L"", L""}, VersionCase{L"...", L"", L""},
                                           VersionCase{L"1.5.2.99999999999", L"", L""}));

}  // namespace
}  // namespace nimbrel
