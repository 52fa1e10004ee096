#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "app/cli/ConsoleHost.h"
#include "app/commands/Args.h"
#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/FileUtil.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;

TEST(ConsoleHost, MessagesAndAnswersOnStandardError) {
  ConsoleHost host;
  MessageRequest question;
  question.text = G(u8"覆盖该工程?");
  question.caption = G(u8"标题");
  question.buttons = MessageButtons::YesNo;
  question.safeAnswer = MessageAnswer::No;
  testing::internal::CaptureStderr();
  EXPECT_EQ(host.ShowMessage(question), MessageAnswer::No);
  host.SetAnswers(ConsoleHost::Answers::Yes);
  EXPECT_EQ(host.ShowMessage(question), MessageAnswer::Yes);
  host.SetAnswers(ConsoleHost::Answers::No);
  EXPECT_EQ(host.ShowMessage(question), MessageAnswer::No);
  MessageRequest note;
  note.text = G(u8"内存不足!");
  note.caption = "VemoGPS";
  EXPECT_EQ(host.ShowMessage(note), MessageAnswer::Ok);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            u8"标题: 覆盖该工程? [No]\n标题: 覆盖该工程? [Yes]\n标题: 覆盖该工程? [No]\nVemoGPS: 内存不足!\n");
}

TEST(ConsoleHost, ProgressIsSilentWhenStandardErrorIsNoTerminal) {
  ConsoleHost host;
  PlatformHost* previous = InstallPlatformHost(&host);
  testing::internal::CaptureStderr();
  {
    CDisplayMessageDlg dlg;
    dlg.Create();
    dlg.SetRange(0, 4);
    for (int i = 0; i <= 4; ++i) dlg.SetPosition(i);
    EXPECT_EQ(dlg.PercentText(), "100%");
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  InstallPlatformHost(previous);
}

// Ctrl-C while a computation's progress window is open reaches the cancel flag that the
// computation reads between its stages; it no longer ends the program, nor is it lost.
TEST(ConsoleHost, CtrlCDuringAComputationCancelsIt) {
  ConsoleHost host;
  PlatformHost* previous = InstallPlatformHost(&host);
  testing::internal::CaptureStderr();
  {
    CDisplayMessageDlg dlg;
    dlg.Create();
    EXPECT_FALSE(dlg.CancelRequested());
    std::raise(SIGINT);
    EXPECT_TRUE(dlg.CancelRequested());
    EXPECT_TRUE(dlg.CancelRequested());  // said once
  }
  CDisplayMessageDlg later;  // the window of a later stage does not lose it
  later.Create();
  EXPECT_TRUE(later.CancelRequested());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), u8"VemoGPS: 计算已取消!\nVemoGPS: 计算已取消!\n");
  InstallPlatformHost(previous);
}

TEST(ConsoleHost, DocumentsArePrintedAsPathsAndOptionallyContent) {
  test::TempDir dir;
  std::string path = dir.str() + "/r.txt";
  ASSERT_TRUE(WriteFileAtomically(path, G(u8"结果\n")));
  ConsoleHost host;
  testing::internal::CaptureStdout();
  host.OpenTextDocument(path);
  host.SetPrintDocuments(true);
  host.OpenTextDocument(path);
  host.ShowText("", G(u8"一行"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), path + "\n" + path + u8"\n结果\n一行\n");
  // Without a preset path a dialog is a cancel.
  EXPECT_FALSE(host.ChooseFiles(FileDialogRequest{}).has_value());
  host.PresetChoice("/x/y");
  EXPECT_EQ(host.ChooseFiles(FileDialogRequest{}).value(), std::vector<std::string>{"/x/y"});
}

TEST(Args, OptionsAreTakenAndLeftoversRefused) {
  Args args({"--a", "1", "pos", "--b=2.5", "--flag", "--add", "N", "1", "2", "--add", "M", "3", "4", "-5"});
  EXPECT_EQ(args.TakeInt("--a"), 1);
  EXPECT_EQ(args.TakeDouble("--b"), 2.5);
  EXPECT_TRUE(args.TakeFlag("--flag"));
  EXPECT_FALSE(args.TakeFlag("--flag"));
  auto adds = args.TakeTuples("--add", 3);
  ASSERT_EQ(adds.size(), 2u);
  EXPECT_EQ(adds[1], (std::vector<std::string>{"M", "3", "4"}));
  EXPECT_EQ(args.Positionals(), (std::vector<std::string>{"pos", "-5"}));
  Args bad({"--x", "1", "--unknown"});
  bad.TakeValue("--x");
  EXPECT_THROW(bad.Positionals(), UsageError);
  Args missing({"--x"});
  EXPECT_THROW(missing.TakeValue("--x"), UsageError);
  EXPECT_FALSE(ParseNumber("1.5x").has_value());
  EXPECT_FALSE(ParseNumber("nan").has_value());
  EXPECT_FALSE(ParseNumber("1e999").has_value());
  EXPECT_FALSE(ParseInteger("99999999999").has_value());
  EXPECT_EQ(ParseNumber("-0.5"), -0.5);
}

// The command line speaks the interface's language on standard error: a failing command's
// message and the program's title in English when the settings ask for it, in Chinese when
// they ask for Chinese; either way the command fails the same.
TEST(ConsoleHost, MessagesFollowTheInterfaceLanguage) {
  test::TempDir work;
  const std::string missing = (work.path() / "missing.txt").string();
  auto run = [&](const std::string& language) {
    const std::string config = (work.path() / language).string();
    std::filesystem::create_directories(config);
    WriteFileAtomically(config + "/settings.ini", "[Interface]\nLanguage=" + language + "\n");
    return test::RunProgram({"view", missing}, config, work.str());
  };
  // "VemoGPS 5.20\n": the version the title carries.
  const std::string version = test::RunProgram({"--version"}, work.str()).out.substr(8);
  const std::string v = " V" + version.substr(0, version.size() - 1);
  const test::ProgramRun english = run("en");
  EXPECT_EQ(english.status, 1);
  EXPECT_EQ(english.err, "VemoGPS - General Adjustment Package for GPS Engineering Survey Networks " + v +
                             ": Error opening file " + missing + "!\n");
  const test::ProgramRun chinese = run("zh_CN");
  EXPECT_EQ(chinese.status, 1);
  EXPECT_EQ(chinese.err, u8"VemoGPS－GPS工程测量网通用平差软件包 " + v + u8": 打开文件" + missing + u8"出错!\n");
}

}  // namespace
