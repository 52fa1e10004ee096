#include <gtest/gtest.h>

#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/LibraryState.h"
#include "tests/support/TestHost.h"

namespace {
using vemo::test::G;

TEST(DisplayMessageDlg, PercentShownOnlyWhenItRises) {
  vemo::test::ScopedTestHost scope;
  CDisplayMessageDlg dlg;
  dlg.Create();
  dlg.SetTitle(G(u8"三维平差"));
  dlg.SetRange(0, 10);
  for (int p : {1, 2, 4, 8, 3, 8, 10}) dlg.SetPosition(p);
  ASSERT_EQ(scope.host.progress.size(), 1u);
  const auto& rec = scope.host.progress[0];
  EXPECT_EQ(rec.percents, (std::vector<std::string>{"0%", "10%", "20%", "40%", "80%", "100%"}));
  EXPECT_EQ(rec.titles, (std::vector<std::string>{G(u8"处理信息"), G(u8"三维平差")}));
}

TEST(DisplayMessageDlg, TwoDigitFormatAndFloor) {
  vemo::test::ScopedTestHost scope;
  CDisplayMessageDlg dlg;
  dlg.Create();
  dlg.SetRange(0, 1000);
  dlg.SetPosition(79);  // 7.9% shows 07%
  EXPECT_EQ(dlg.PercentText(), "07%");
  dlg.SetRange(100, 200);  // resets the last percentage: 105 shows 05% again
  dlg.SetPosition(105);
  EXPECT_EQ(dlg.PercentText(), "05%");
  dlg.SetRange(0, 2000000000);
  dlg.SetPosition(2000000000);  // no integer overflow on large counters
  EXPECT_EQ(dlg.PercentText(), "100%");
}

TEST(DisplayMessageDlg, EmptyRangeNeverChangesTheText) {
  vemo::test::ScopedTestHost scope;
  CDisplayMessageDlg dlg;
  dlg.Create();
  dlg.SetRange(5, 5);
  dlg.SetPosition(5);
  dlg.SetPosition(50);
  dlg.SetRange(9, 3);
  dlg.SetPosition(7);
  EXPECT_EQ(dlg.PercentText(), "0%");
  EXPECT_EQ(scope.host.progress[0].percents.size(), 1u);
}

TEST(DisplayMessageDlg, CancelSeenThroughThePumpAndClearedByANewWindow) {
  vemo::test::ScopedTestHost scope;
  CDisplayMessageDlg dlg;
  dlg.Create();
  scope.host.CancelAtPump(2);
  GetWindowMessage();
  EXPECT_EQ(dlg.IsCancelled(), 0);
  GetWindowMessage();
  EXPECT_EQ(dlg.IsCancelled(), 1);
  dlg.OnInitDialog();
  EXPECT_EQ(dlg.IsCancelled(), 0);
  dlg.OnCancelButton();
  EXPECT_EQ(dlg.IsCancelled(), 1);
}

}  // namespace
