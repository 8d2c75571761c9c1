// The system's colour dialog opens on the current colour; OK gives the colour back, Cancel nothing.
#include <gtest/gtest.h>

#include "platform/color_dialog_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

WPARAM g_answer = IDOK;

// Runs inside the dialog's modal loop: answers the dialog of this thread.
void CALLBACK Answer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = testing::FindThreadDialog();
  if (!dialog) return;
  ::KillTimer(nullptr, id);
  ::PostMessageW(dialog, WM_COMMAND, g_answer, 0);
}

TEST(ColorDialog, StartsOnTheColourAndKeepsItOnCancel) {
  TColorDialog dialog;
  dialog.Color = RGB(0x12, 0x34, 0x56);
  g_answer = IDOK;
  ::SetTimer(nullptr, 0, 200, &Answer);
  EXPECT_TRUE(dialog.Execute(nullptr));
  EXPECT_EQ(dialog.Color, RGB(0x12, 0x34, 0x56));  // confirmed as it opened

  dialog.Color = RGB(1, 2, 3);
  g_answer = IDCANCEL;
  ::SetTimer(nullptr, 0, 200, &Answer);
  EXPECT_FALSE(dialog.Execute(nullptr));
  EXPECT_EQ(dialog.Color, RGB(1, 2, 3));
}

}  // namespace
}  // namespace nimbrel
