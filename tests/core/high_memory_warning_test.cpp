#include "display/high_memory_warning.h"

#include <gtest/gtest.h>

#include "settings/settings.h"

namespace nimbrel {
namespace {

TEST(HighMemoryWarning, DialogAsksWithTheRulesTextsAndTheFixedOptions) {
  Settings settings = DefaultSettings(10);
  settings.WarnMsgBox = true;
  settings.DefragOnHighMemory = false;
  settings.RedPercent = 90;
  HighMemoryState state;
  HighMemoryDecision decision = EvaluateHighMemory(settings, 91, 5000, false, state);
  ASSERT_TRUE(decision.showDialog);

  TTaskDialogEx r = HighMemoryWarningRequest(decision, 0x1234);
  EXPECT_EQ(r.Dialog.Caption, L"Nimbrel");
  EXPECT_EQ(r.Dialog.MainInstruction, L"内存高 (91%)");
  EXPECT_EQ(r.Dialog.ContentText, L"建议关闭一些应用程序");
  EXPECT_EQ(r.Dialog.CommandButtons, L"整理内存\n任务管理器\n关闭");
  EXPECT_EQ(r.Dialog.VerificationText, L"不再显示此警告");
  EXPECT_FALSE(r.Dialog.VerificationChecked);
  EXPECT_EQ(r.CommonButtons, 0u);
  EXPECT_EQ(r.DefaultButton, 0);
  EXPECT_EQ(r.DialogFlags, 8u);
  EXPECT_EQ(r.MainIconKind, 1);
  EXPECT_EQ(r.FooterIconKind, 0);
  EXPECT_EQ(r.DialogWidth, 270);
  EXPECT_EQ(r.ParentWindow, 0x1234u);
  EXPECT_FALSE(r.ForceEmulation);
  EXPECT_TRUE(r.ClassicLook);
}

TEST(HighMemoryWarning, AfterAnOptimisationTheOnlyButtonIsOk) {
  Settings settings = DefaultSettings(10);
  settings.WarnMsgBox = true;
  settings.DefragOnHighMemory = true;
  HighMemoryState state;
  TTaskDialogEx r = HighMemoryWarningRequest(EvaluateHighMemory(settings, 95, 5000, false, state), 0);
  EXPECT_EQ(r.Dialog.CommandButtons, L"&OK");
  EXPECT_EQ(r.Dialog.ContentText, L"碎片整理工具已激活. 如果内存仍然很高, 建议您关闭一些应用程序.");
}

}  // namespace
}  // namespace nimbrel
