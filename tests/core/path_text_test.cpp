#include "platform/path_text.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(WithTrailingBackslashTest, AddsOneOnlyWhenMissing) {
  EXPECT_EQ(WithTrailingBackslash(L""), L"");
  EXPECT_EQ(WithTrailingBackslash(L"C:"), L"C:\\");
  EXPECT_EQ(WithTrailingBackslash(L"C:\\"), L"C:\\");
  EXPECT_EQ(WithTrailingBackslash(L"C:\\Program Files\\Nimbrel"), L"C:\\Program Files\\Nimbrel\\");
  EXPECT_EQ(WithTrailingBackslash(L"C:\\Program Files\\Nimbrel\\"), L"C:\\Program Files\\Nimbrel\\");
  EXPECT_EQ(WithTrailingBackslash(L"\\\\server\\share"), L"\\\\server\\share\\");
  EXPECT_EQ(WithTrailingBackslash(L"\\"), L"\\");
  EXPECT_EQ(WithTrailingBackslash(L"C:\\Temp\\\\"), L"C:\\Temp\\\\");
  EXPECT_EQ(WithTrailingBackslash(L"C:/Temp/"), L"C:/Temp/\\");
  EXPECT_EQ(WithTrailingBackslash(L"用户"), L"用户\\");
}

}  // namespace
}  // namespace nimbrel
