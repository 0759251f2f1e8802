// The setup log and the string-table message boxes.
#include "log/svlog.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace {

using svp::kIdNo;
using svp::kIdOk;
using svp::kIdYes;

const char kLog[] = "C:\\SVSETUP.LOG";
const char kCaption[] = "SOLVANE 32 for Windows NT Setup";

class SetupLog : public ::testing::Test {
 protected:
  void SetUp() override { platform_.Install(); }
  void TearDown() override { SvCloseLog(); }

  std::string LogBytes() { return platform_.files().ReadFile(kLog); }
  const std::vector<svp::MemoryUserInterface::ShownBox>& Boxes() { return platform_.ui().boxes(); }

  svp::MemoryPlatform platform_;
};

TEST_F(SetupLog, HoldsExactlyTheMessagesWithLineFeedsAsCrLf) {
  platform_.files().WriteFile(kLog, "an earlier run\r\n");
  ASSERT_TRUE(SvOpenLog(kLog));
  EXPECT_TRUE(SvIsLogOpen());
  // Each run starts from an empty file.
  EXPECT_EQ("", LogBytes());

  SvLogMessage(10051);
  // On disk before the call returns.
  EXPECT_EQ("Starting finish phase\r\n", LogBytes());
  SvLogMessage(10038, 1381);
  SvLogText("trace ends in CR LF\r\n");
  SvLogText("%s=%d;%x\n", "VALUE", -3, 255);
  SvLogText("no line end");
  SvLogMessage(10041, "C:\\K.DAT", 2);
  EXPECT_EQ(
      "Starting finish phase\r\n"
      "Running on Windows NT build 1381.\r\n"
      "trace ends in CR LF\r\r\n"
      "VALUE=-3;ff\r\n"
      "no line end"
      "Error loading kit data file C:\\K.DAT,  OS returned error 2\r\n",
      LogBytes());
  EXPECT_TRUE(Boxes().empty());

  SvCloseLog();
  EXPECT_FALSE(SvIsLogOpen());
  // Closed is closed: nothing more is written.
  SvLogMessage(10052);
  SvLogText("late\n");
  EXPECT_EQ(std::string::npos, LogBytes().find("Ending"));
  EXPECT_EQ(std::string::npos, LogBytes().find("late"));
}

TEST_F(SetupLog, IsExclusiveAndASecondOpenLeavesTheFirstUntouched) {
  // Another instance holds the log: this one cannot open it, and the
  // other's text stays.
  platform_.files().WriteFile(kLog, "first instance\r\n");
  svp::FileHandle other = svp::Fs().CreateFile(kLog, svp::kGenericWrite, 0, svp::kOpenExisting);
  ASSERT_NE(svp::kInvalidFile, other);
  EXPECT_FALSE(SvOpenLog(kLog));
  EXPECT_FALSE(SvIsLogOpen());
  EXPECT_EQ("first instance\r\n", LogBytes());
  svp::Fs().CloseHandle(other);

  // Within one process the open log keeps a second open out as well.
  ASSERT_TRUE(SvOpenLog(kLog));
  SvLogMessage(10051);
  EXPECT_FALSE(SvOpenLog(kLog));
  EXPECT_EQ("Starting finish phase\r\n", LogBytes());
  // The log's file itself refuses other openers while the log is open.
  ASSERT_TRUE(SvOpenLog(kLog));
  EXPECT_EQ(svp::kInvalidFile,
            svp::Fs().CreateFile(kLog, svp::kGenericRead, svp::kShareRead | svp::kShareWrite,
                                 svp::kOpenExisting));
  EXPECT_EQ(svp::kErrSharingViolation, svp::Fs().GetLastError());

  // A log in a directory that does not exist cannot be made.
  SvCloseLog();
  EXPECT_FALSE(SvOpenLog("C:\\NO\\SUCH\\DIR\\SVSETUP.LOG"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetupLog, MissingOrEmptyStringsProduceNothing) {
  ASSERT_TRUE(SvOpenLog(kLog));
  SvLogMessage(57353);  // deliberately empty entries
  SvLogMessage(57354);
  SvLogMessage(4242);   // no such entry
  platform_.system().RemoveString(10051);
  SvLogMessage(10051);
  EXPECT_EQ("", LogBytes());

  EXPECT_EQ(-1, SvMessageBox(4242, 0));
  EXPECT_EQ(-1, SvMessageBox(57353, 0x30));
  EXPECT_EQ(-1, SvLogMessageBox(10051, 0x30));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ("", LogBytes());
}

TEST_F(SetupLog, BoxesCarryTheTitleAreOwnedAndReturnTheButton) {
  // No log: the box still shows.
  platform_.ui().QueueAnswer(kIdOk);
  EXPECT_EQ(kIdOk, SvLogMessageBox(10025, 0x30, "TNP", 1, "Unknown"));
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ("The following error occurred while removing TNP\r\nError 1 (Unknown)\n", Boxes()[0].text);
  EXPECT_EQ(kCaption, Boxes()[0].caption);
  EXPECT_EQ(0x30u, Boxes()[0].type);
  EXPECT_TRUE(Boxes()[0].owned);

  ASSERT_TRUE(SvOpenLog(kLog));
  platform_.ui().QueueAnswer(kIdNo);
  EXPECT_EQ(kIdNo, SvMessageBox(5005, 4, "C:\\SV"));
  EXPECT_EQ("", LogBytes());  // asked, not logged
  platform_.ui().QueueAnswer(kIdYes);
  EXPECT_EQ(kIdYes, SvLogMessageBox(10006, 0x24));
  ASSERT_EQ(3u, Boxes().size());
  EXPECT_EQ("Directory C:\\SV does not exist, would you like to create it?", Boxes()[1].text);
  EXPECT_EQ(4u, Boxes()[1].type);
  EXPECT_EQ(0x24u, Boxes()[2].type);
  EXPECT_EQ(kCaption, Boxes()[2].caption);
  EXPECT_EQ(
      "To complete the uninstall of SOLVANE, Windows NT needs to be restarted.\r\r\n"
      "Would you like to restart your computer now?\r\n",
      LogBytes());
}

const char kWriteFailedStart[] = "Failure writing the following message to the setup log file:\r\n";
const char kWriteFailedEnd[] = "\r\n\r\nWould you like to disable writing to the log now?";

TEST_F(SetupLog, WriteFailureYesTurnsLoggingOffForTheRun) {
  ASSERT_TRUE(SvOpenLog(kLog));
  SvLogMessage(10051);
  platform_.files().FailNextWrites(true);
  platform_.ui().QueueAnswer(kIdYes);
  SvLogMessage(10021);
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ(std::string(kWriteFailedStart) + "Starting network control panel phase.\n" +
                kWriteFailedEnd,
            Boxes()[0].text);
  EXPECT_EQ(0x34u, Boxes()[0].type);
  EXPECT_EQ(kCaption, Boxes()[0].caption);
  EXPECT_TRUE(Boxes()[0].owned);
  EXPECT_FALSE(SvIsLogOpen());

  // The file would take text again, but the run no longer logs or asks.
  platform_.files().FailNextWrites(false);
  SvLogMessage(10030);
  SvLogText("text\n");
  EXPECT_EQ(1u, Boxes().size());
  EXPECT_EQ("Starting finish phase\r\n", LogBytes());
  // Boxes keep working.
  EXPECT_EQ(kIdOk, SvLogMessageBox(10005, 0x10));
  EXPECT_EQ(2u, Boxes().size());
  EXPECT_EQ("Starting finish phase\r\n", LogBytes());
}

TEST_F(SetupLog, WriteFailureNoKeepsLoggingAndTheNextMessageIsWritten) {
  ASSERT_TRUE(SvOpenLog(kLog));
  platform_.files().FailNextWrites(true);
  platform_.ui().QueueAnswer(kIdNo);
  SvLogText("lost %d\n", 1);
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ(std::string(kWriteFailedStart) + "lost 1\n" + kWriteFailedEnd, Boxes()[0].text);
  EXPECT_TRUE(SvIsLogOpen());

  // Still failing: asked again for the next message.
  platform_.ui().QueueAnswer(kIdNo);
  SvLogMessage(10051);
  EXPECT_EQ(2u, Boxes().size());

  platform_.files().FailNextWrites(false);
  SvLogMessage(10052);
  EXPECT_EQ("Ending finish phase.\r\n", LogBytes());  // the failed ones are not retried
  EXPECT_EQ(2u, Boxes().size());

  // A flush that fails asks too; the 10009 question comes before the
  // message's own box.
  platform_.files().FailNextFlushes(true);
  platform_.ui().QueueAnswer(kIdNo);
  platform_.ui().QueueAnswer(kIdOk);
  EXPECT_EQ(kIdOk, SvLogMessageBox(10005, 0x10));
  ASSERT_EQ(4u, Boxes().size());
  EXPECT_EQ(0x34u, Boxes()[2].type);
  EXPECT_EQ(std::string(kWriteFailedStart) + "The uninstall of SOLVANE 32 for Windows NT has failed." +
                kWriteFailedEnd,
            Boxes()[2].text);
  EXPECT_EQ("The uninstall of SOLVANE 32 for Windows NT has failed.", Boxes()[3].text);
  EXPECT_EQ(0x10u, Boxes()[3].type);
}

TEST_F(SetupLog, MessagesLongerThanTheBufferAreCut) {
  ASSERT_TRUE(SvOpenLog(kLog));
  // 1,022 characters and the line feed fit exactly.
  SvLogText("%s\n", std::string(1022, 'a'));
  EXPECT_EQ(std::string(1022, 'a') + "\r\n", LogBytes());
  // Longer ones keep their first 1,023 characters (the line feed is lost).
  SvLogText("%s\n", std::string(1500, 'b'));
  EXPECT_EQ(std::string(1022, 'a') + "\r\n" + std::string(1023, 'b'), LogBytes());
  EXPECT_EQ(1023u, SvLastMessage().size());

  platform_.ui().QueueAnswer(kIdOk);
  SvMessageBox(10004, 0x31, std::string(2000, 'p'));
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ(1023u, Boxes()[0].text.size());
  EXPECT_EQ("Could not open kit data file ppp", Boxes()[0].text.substr(0, 32));
}

}  // namespace
