#pragma once

// Behaviour every IniStore must share with the Windows profile functions, run against the native
// TextIniStore and, under Wine, against the store built on GetPrivateProfileStringW and
// WritePrivateProfileStringW. Content here is ASCII only; layout details the two may not share (blank
// lines, quotes) are tested on TextIniStore alone.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "settings/ini_store.h"

namespace nimbrel::contract {

// One settings file. A freshly made harness stands for a file that does not exist yet; Content() of a
// missing file is empty.
class IniStoreHarness {
 public:
  virtual ~IniStoreHarness() = default;
  virtual void SetContent(const std::string& bytes) = 0;  // replace the whole file
  virtual std::string Content() = 0;                      // the whole file as bytes
  virtual IniStore& Store() = 0;
};

using IniStoreHarnessFactory = std::unique_ptr<IniStoreHarness> (*)();

// The instantiation's own name tells the stores apart; printing the factory's address would give
// CTest a different test name on every run.
inline void PrintTo(IniStoreHarnessFactory, std::ostream* os) { *os << "store"; }

class IniStoreContract : public ::testing::TestWithParam<IniStoreHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam()(); }

  IniStore& Store() { return harness_->Store(); }
  std::string Content() { return harness_->Content(); }
  void SetContent(const std::string& bytes) { harness_->SetContent(bytes); }
  std::wstring Read(const std::wstring& section, const std::wstring& key) {
    return Store().ReadString(section, key, L"<default>");
  }

 private:
  std::unique_ptr<IniStoreHarness> harness_;
};

TEST_P(IniStoreContract, MissingFileGivesDefault) {
  EXPECT_EQ(Read(L"General", L"Warn"), L"<default>");
  EXPECT_EQ(Content(), "");
}

TEST_P(IniStoreContract, MissingSectionGivesDefault) {
  SetContent("[General]\r\nWarn=1\r\n");
  EXPECT_EQ(Read(L"Colors", L"Warn"), L"<default>");
}

TEST_P(IniStoreContract, MissingKeyGivesDefault) {
  SetContent("[General]\r\nWarn=1\r\n[Font]\r\nSize=6\r\n");
  EXPECT_EQ(Read(L"General", L"Size"), L"<default>");
  EXPECT_EQ(Read(L"General", L"War"), L"<default>");
}

TEST_P(IniStoreContract, KeyOfAnotherSectionIsNotFound) {
  SetContent("[General]\r\nName=General\r\n[Font]\r\nName=Tahoma\r\n");
  EXPECT_EQ(Read(L"Font", L"Name"), L"Tahoma");
  EXPECT_EQ(Read(L"General", L"Name"), L"General");
  EXPECT_EQ(Read(L"Colors", L"Name"), L"<default>");
}

TEST_P(IniStoreContract, EmptyValueIsNotTheDefault) {
  SetContent("[Colors]\r\nRedColor=\r\n");
  EXPECT_EQ(Read(L"Colors", L"RedColor"), L"");
}

TEST_P(IniStoreContract, SectionAndKeyNamesMatchWithoutCase) {
  SetContent("[General]\r\nRefreshRate=500\r\n");
  EXPECT_EQ(Read(L"general", L"refreshrate"), L"500");
  EXPECT_EQ(Read(L"GENERAL", L"REFRESHRATE"), L"500");
  EXPECT_EQ(Read(L"GeNeRaL", L"rEfReShRaTe"), L"500");
}

TEST_P(IniStoreContract, BlanksAroundValueAreIgnored) {
  SetContent("[Font]\r\nName=   Courier New   \r\nSize = 8\r\n");
  EXPECT_EQ(Read(L"Font", L"Name"), L"Courier New");
  EXPECT_EQ(Read(L"Font", L"Size"), L"8");
}

TEST_P(IniStoreContract, ValueRunsToTheEndOfTheLineAfterTheFirstEqualsSign) {
  SetContent("[Update]\r\nUrl=http://example.invalid/v?a=1\r\n");
  EXPECT_EQ(Read(L"Update", L"Url"), L"http://example.invalid/v?a=1");
}

TEST_P(IniStoreContract, FirstKeyInEmptyFileMakesItsSection) {
  ASSERT_TRUE(Store().WriteString(L"General", L"Warn", L"1"));
  EXPECT_EQ(Content(), "[General]\r\nWarn=1\r\n");
}

TEST_P(IniStoreContract, NewKeyIsAppendedToItsSection) {
  SetContent("[General]\r\nWarn=1\r\n");
  ASSERT_TRUE(Store().WriteString(L"General", L"WarnMsgBox", L"0"));
  EXPECT_EQ(Content(), "[General]\r\nWarn=1\r\nWarnMsgBox=0\r\n");
}

TEST_P(IniStoreContract, NewKeyIsAppendedToItsSectionWhenAnotherSectionFollows) {
  SetContent("[General]\r\nWarn=1\r\n[Font]\r\nName=Tahoma\r\n");
  ASSERT_TRUE(Store().WriteString(L"General", L"RedPercent", L"90"));
  EXPECT_EQ(Content(), "[General]\r\nWarn=1\r\nRedPercent=90\r\n[Font]\r\nName=Tahoma\r\n");
}

TEST_P(IniStoreContract, ExistingKeyIsUpdatedInPlace) {
  const std::string before =
      "[General]\r\nWarn=1\r\nMyOwnKey=keep me\r\nRefreshRate=1000\r\n"
      "[Other]\r\nWarn=5\r\n[Colors]\r\nRedColor=FF0000\r\n";
  SetContent(before);
  ASSERT_TRUE(Store().WriteString(L"General", L"RefreshRate", L"250"));
  EXPECT_EQ(Content(),
            "[General]\r\nWarn=1\r\nMyOwnKey=keep me\r\nRefreshRate=250\r\n"
            "[Other]\r\nWarn=5\r\n[Colors]\r\nRedColor=FF0000\r\n");
  ASSERT_TRUE(Store().WriteString(L"Colors", L"RedColor", L"Automatic"));
  EXPECT_EQ(Content(),
            "[General]\r\nWarn=1\r\nMyOwnKey=keep me\r\nRefreshRate=250\r\n"
            "[Other]\r\nWarn=5\r\n[Colors]\r\nRedColor=Automatic\r\n");
}

TEST_P(IniStoreContract, WritingWithOtherCaseUpdatesTheExistingSection) {
  SetContent("[General]\r\nWarn=1\r\n");
  ASSERT_TRUE(Store().WriteString(L"GENERAL", L"Warn", L"0"));
  EXPECT_EQ(Content(), "[General]\r\nWarn=0\r\n");
}

TEST_P(IniStoreContract, SecondSectionFollowsTheFirst) {
  ASSERT_TRUE(Store().WriteString(L"General", L"Warn", L"1"));
  ASSERT_TRUE(Store().WriteString(L"Font", L"Name", L"Tahoma"));
  const std::string content = Content();
  const std::string first = "[General]\r\nWarn=1\r\n";
  const std::string second = "[Font]\r\nName=Tahoma\r\n";
  ASSERT_GE(content.size(), first.size() + second.size());
  EXPECT_EQ(content.substr(0, first.size()), first);
  EXPECT_EQ(content.substr(content.size() - second.size()), second);
  // Whatever lies between may only be blank lines.
  const std::string between = content.substr(first.size(), content.size() - first.size() - second.size());
  for (std::size_t i = 0; i < between.size(); i += 2) EXPECT_EQ(between.substr(i, 2), "\r\n") << content;
}

TEST_P(IniStoreContract, KeysOfSeveralSectionsGoToTheirOwnSections) {
  ASSERT_TRUE(Store().WriteString(L"General", L"Warn", L"1"));
  ASSERT_TRUE(Store().WriteString(L"Font", L"Name", L"Tahoma"));
  ASSERT_TRUE(Store().WriteString(L"General", L"RedPercent", L"90"));
  ASSERT_TRUE(Store().WriteString(L"Font", L"Size", L"6"));
  const std::string content = Content();
  std::size_t previous = 0;
  for (const char* line :
       {"[General]\r\n", "Warn=1\r\n", "RedPercent=90\r\n", "[Font]\r\n", "Name=Tahoma\r\n", "Size=6\r\n"}) {
    const std::size_t at = content.find(line);
    ASSERT_NE(at, std::string::npos) << line << " missing in " << content;
    EXPECT_GE(at, previous) << line << " out of order in " << content;
    previous = at;
  }
  EXPECT_EQ(Read(L"General", L"Size"), L"<default>");
  EXPECT_EQ(Read(L"Font", L"Size"), L"6");
}

TEST_P(IniStoreContract, WrittenValueReadsBack) {
  SetContent("[General]\r\nWarn=1\r\n");
  ASSERT_TRUE(Store().WriteString(L"Font", L"Name", L"Courier New"));
  ASSERT_TRUE(Store().WriteString(L"General", L"Warn", L"0"));
  ASSERT_TRUE(Store().WriteString(L"General", L"Color", L"-16777208"));
  EXPECT_EQ(Read(L"Font", L"Name"), L"Courier New");
  EXPECT_EQ(Read(L"General", L"Warn"), L"0");
  EXPECT_EQ(Read(L"general", L"color"), L"-16777208");
}

TEST_P(IniStoreContract, CommentLinesArePreserved) {
  SetContent("; made by hand\r\n[General]\r\n; keep the warning\r\nWarn=1\r\n");
  ASSERT_TRUE(Store().WriteString(L"General", L"Warn", L"0"));
  EXPECT_EQ(Content(), "; made by hand\r\n[General]\r\n; keep the warning\r\nWarn=0\r\n");
}

TEST_P(IniStoreContract, CommentIsNotAKey) {
  SetContent("[General]\r\n;Warn=0\r\nWarn=1\r\n");
  EXPECT_EQ(Read(L"General", L"Warn"), L"1");
}

}  // namespace nimbrel::contract
