#include "settings/text_ini_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/ini_store_contract.h"

namespace nimbrel {
namespace {

class TextHarness : public contract::IniStoreHarness {
 public:
  void SetContent(const std::string& bytes) override { store_.SetContent(bytes); }
  std::string Content() override { return store_.Content(); }
  IniStore& Store() override { return store_; }

 private:
  TextIniStore store_;
};

std::unique_ptr<contract::IniStoreHarness> MakeTextHarness() { return std::make_unique<TextHarness>(); }

std::wstring Read(const TextIniStore& store, const std::wstring& section, const std::wstring& key) {
  return store.ReadString(section, key, L"<default>");
}

TEST(TextIniStoreTest, MatchingDoubleQuotesAreRemoved) {
  const TextIniStore store(
      "[T]\r\nQuoted=\"  Tahoma  \"\r\nOpenOnly=\"Tahoma\r\nLone=\"\r\nInner=a \"b\" c\r\nEmpty=\"\"\r\n"
      "Single='x'\r\n");
  EXPECT_EQ(Read(store, L"T", L"Quoted"), L"  Tahoma  ");
  EXPECT_EQ(Read(store, L"T", L"OpenOnly"), L"\"Tahoma");
  EXPECT_EQ(Read(store, L"T", L"Lone"), L"\"");
  EXPECT_EQ(Read(store, L"T", L"Inner"), L"a \"b\" c");
  EXPECT_EQ(Read(store, L"T", L"Empty"), L"");
  EXPECT_EQ(Read(store, L"T", L"Single"), L"'x'");
}

TEST(TextIniStoreTest, TabsAndSpacesAroundNamesAndValuesAreIgnored) {
  const TextIniStore store("  [ General ]\t\r\n\t RefreshRate \t=\t 500 \t\r\n");
  EXPECT_EQ(Read(store, L"General", L"RefreshRate"), L"500");
}

TEST(TextIniStoreTest, KeysBeforeAnySectionBelongToNone) {
  const TextIniStore store("Warn=5\r\nOrphan=1\r\n[General]\r\nWarn=1\r\n");
  EXPECT_EQ(Read(store, L"General", L"Warn"), L"1");
  EXPECT_EQ(Read(store, L"General", L"Orphan"), L"<default>");
  EXPECT_EQ(Read(store, L"", L"Orphan"), L"<default>");
}

TEST(TextIniStoreTest, FirstOfTwoEqualKeysCounts) {
  TextIniStore store("[General]\r\nWarn=1\r\nwarn=0\r\n");
  EXPECT_EQ(Read(store, L"General", L"Warn"), L"1");
  ASSERT_TRUE(store.WriteString(L"General", L"Warn", L"7"));
  EXPECT_EQ(store.Content(), "[General]\r\nWarn=7\r\nwarn=0\r\n");
}

TEST(TextIniStoreTest, SectionThatAppearsTwiceIsSearchedInBothPlaces) {
  const TextIniStore store("[A]\r\nx=1\r\n[B]\r\ny=3\r\n[a]\r\ny=2\r\n");
  EXPECT_EQ(Read(store, L"A", L"x"), L"1");
  EXPECT_EQ(Read(store, L"A", L"y"), L"2");
}

TEST(TextIniStoreTest, UpdateKeepsTheKeySpellingAndDropsTheBlanks) {
  TextIniStore store("[General]\r\n  warn = 1  \r\nRed=2\r\n");
  ASSERT_TRUE(store.WriteString(L"GENERAL", L"WARN", L"0"));
  EXPECT_EQ(store.Content(), "[General]\r\nwarn=0\r\nRed=2\r\n");
}

TEST(TextIniStoreTest, NewKeyFollowsTheLastKeyNotTheBlankLinesAndCommentsAfterIt) {
  TextIniStore store("[General]\r\nWarn=1\r\n\r\n; fonts below\r\n[Font]\r\nName=Tahoma\r\n");
  ASSERT_TRUE(store.WriteString(L"General", L"RedPercent", L"90"));
  EXPECT_EQ(store.Content(),
            "[General]\r\nWarn=1\r\nRedPercent=90\r\n\r\n; fonts below\r\n[Font]\r\nName=Tahoma\r\n");
}

TEST(TextIniStoreTest, NewKeyOfAnEmptySectionFollowsItsHeader) {
  TextIniStore store("[General]\r\n\r\n[Font]\r\n");
  ASSERT_TRUE(store.WriteString(L"General", L"Warn", L"1"));
  EXPECT_EQ(store.Content(), "[General]\r\nWarn=1\r\n\r\n[Font]\r\n");
}

TEST(TextIniStoreTest, NewSectionGoesAtTheEndWithoutBlankLine) {
  TextIniStore store("[General]\r\nWarn=1\r\n\r\n");
  ASSERT_TRUE(store.WriteString(L"Font", L"Name", L"Tahoma"));
  EXPECT_EQ(store.Content(), "[General]\r\nWarn=1\r\n\r\n[Font]\r\nName=Tahoma\r\n");
}

TEST(TextIniStoreTest, FileWithoutFinalLineEndGetsOne) {
  TextIniStore appendSection("[General]\r\nWarn=1");
  ASSERT_TRUE(appendSection.WriteString(L"Font", L"Name", L"Tahoma"));
  EXPECT_EQ(appendSection.Content(), "[General]\r\nWarn=1\r\n[Font]\r\nName=Tahoma\r\n");

  TextIniStore appendKey("[General]\r\nWarn=1");
  ASSERT_TRUE(appendKey.WriteString(L"General", L"Size", L"6"));
  EXPECT_EQ(appendKey.Content(), "[General]\r\nWarn=1\r\nSize=6\r\n");

  TextIniStore update("[General]\r\nWarn=1");
  ASSERT_TRUE(update.WriteString(L"General", L"Warn", L"0"));
  EXPECT_EQ(update.Content(), "[General]\r\nWarn=0\r\n");
}

TEST(TextIniStoreTest, OtherLinesKeepTheirBytes) {
  const std::string other = "[Mine]\nodd line without equals\n  X =  y  \r\n\t; tabbed comment\n";
  TextIniStore store("[General]\nWarn=1\n" + other);
  EXPECT_EQ(Read(store, L"Mine", L"odd line without equals"), L"<default>");
  ASSERT_TRUE(store.WriteString(L"General", L"Warn", L"0"));
  EXPECT_EQ(store.Content(), "[General]\nWarn=0\r\n" + other);
}

TEST(TextIniStoreTest, SectionHeaderWithoutClosingBracketStillOpensTheSection) {
  const TextIniStore store("[General\r\nWarn=0\r\n");
  EXPECT_EQ(Read(store, L"General", L"Warn"), L"0");
}

TEST(TextIniStoreTest, ReadOnlyRefusesWritesAndKeepsTheContent) {
  TextIniStore store("[General]\r\nWarn=1\r\n");
  store.SetReadOnly(true);
  EXPECT_FALSE(store.WriteString(L"General", L"Warn", L"0"));
  EXPECT_FALSE(store.WriteString(L"Font", L"Name", L"Arial"));
  EXPECT_EQ(store.Content(), "[General]\r\nWarn=1\r\n");
  store.SetReadOnly(false);
  EXPECT_TRUE(store.WriteString(L"General", L"Warn", L"0"));
  EXPECT_EQ(store.Content(), "[General]\r\nWarn=0\r\n");
}

TEST(TextIniStoreTest, TextIsUtf8) {
  TextIniStore store;
  ASSERT_TRUE(store.WriteString(L"自定义颜色", L"ColorA", L"微软雅黑 \U0001F600"));
  EXPECT_EQ(store.Content(),
            "[\xE8\x87\xAA\xE5\xAE\x9A\xE4\xB9\x89\xE9\xA2\x9C\xE8\x89\xB2]\r\n"
            "ColorA=\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91 \xF0\x9F\x98\x80\r\n");
  EXPECT_EQ(Read(store, L"自定义颜色", L"colora"), L"微软雅黑 \U0001F600");
}

TEST(TextIniStoreTest, MalformedUtf8ReadsAsReplacementCharacters) {
  // A lone continuation byte, a truncated sequence and an overlong encoding of "/".
  const TextIniStore store(
      "[T]\r\nK=a\x80"
      "b\xE4\xB8"
      "c\xC0\xAF\r\n");
  EXPECT_EQ(Read(store, L"T", L"K"), L"a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD");
}

}  // namespace

namespace contract {
INSTANTIATE_TEST_SUITE_P(Text, IniStoreContract, ::testing::Values(&MakeTextHarness));
}  // namespace contract

}  // namespace nimbrel
