// The setup log and the string-table message boxes.
#include "log/svlog.h"

#include "wizard_test_support.h"

namespace {

class SetupLog : public WorkstationFixture {
 protected:
  std::string LogBytes() { return platform_.files().ReadFile(kLogPath); }
  // The question about a message the log could not take.
  std::string WriteFailed(const std::string& message) {
    return "34 " + SvFormat(Text(10009), {message});
  }
};

TEST_F(SetupLog, HoldsExactlyTheMessagesWithLineFeedsAsCrLf) {
  platform_.files().WriteFile(kLogPath, "an earlier run\r\n");
  ASSERT_TRUE(SvOpenLog(kLogPath));
  EXPECT_TRUE(SvIsLogOpen());
  EXPECT_EQ("", LogBytes());  // each run starts from an empty file

  SvLogMessage(10051);
  EXPECT_EQ("Starting finish phase\r\n", LogBytes());  // on disk before the call returns
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
}

// Another instance holding the log is the wizard's second-instance case.
TEST_F(SetupLog, IsExclusive) {
  // Within one process the open log keeps a second open out as well.
  ASSERT_TRUE(SvOpenLog(kLogPath));
  SvLogMessage(10051);
  EXPECT_FALSE(SvOpenLog(kLogPath));
  EXPECT_EQ("Starting finish phase\r\n", LogBytes());
  // The log's file itself refuses other openers while the log is open.
  ASSERT_TRUE(SvOpenLog(kLogPath));
  EXPECT_EQ(svp::kInvalidFile,
            svp::Fs().CreateFile(kLogPath, svp::kGenericRead, svp::kShareRead | svp::kShareWrite,
                                 svp::kOpenExisting));
  EXPECT_EQ(svp::kErrSharingViolation, svp::Fs().GetLastError());

  // A log in a directory that does not exist cannot be made.
  SvCloseLog();
  EXPECT_FALSE(SvOpenLog("C:\\NO\\SUCH\\DIR\\SVSETUP.LOG"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetupLog, MissingOrEmptyStringsProduceNothing) {
  ASSERT_TRUE(SvOpenLog(kLogPath));
  platform_.system().RemoveString(10051);
  for (uint32_t id : {57353u, 57354u, 4242u, 10051u}) SvLogMessage(id);  // empty, absent, removed
  EXPECT_EQ(-1, SvMessageBox(57353, 0x30));
  EXPECT_EQ(-1, SvLogMessageBox(10051, 0x30));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ("", LogBytes());
}

TEST_F(SetupLog, BoxesCarryTheTitleAreOwnedAndReturnTheButton) {
  // No log: the box still shows.
  EXPECT_EQ(svp::kIdOk, SvLogMessageBox(10025, 0x30, "TNP", 1, "Unknown"));
  ASSERT_TRUE(SvOpenLog(kLogPath));
  platform_.ui().QueueAnswer(svp::kIdNo);
  EXPECT_EQ(svp::kIdNo, SvMessageBox(5005, 4, "C:\\SV"));
  EXPECT_EQ("", LogBytes());  // asked, not logged
  platform_.ui().QueueAnswer(svp::kIdYes);
  EXPECT_EQ(svp::kIdYes, SvLogMessageBox(10006, 0x24));
  EXPECT_EQ((Strings{"30 The following error occurred while removing TNP\r\nError 1 (Unknown)\n",
                     "4 Directory C:\\SV does not exist, would you like to create it?",
                     "24 " + Text(10006)}),
            Boxes());
  EXPECT_EQ(
      "To complete the uninstall of SOLVANE, Windows NT needs to be restarted.\r\r\n"
      "Would you like to restart your computer now?\r\n",
      LogBytes());
}

TEST_F(SetupLog, WriteFailureAsksWhetherToStopLoggingNoKeepsItYesEndsIt) {
  ASSERT_TRUE(SvOpenLog(kLogPath));
  svp::FaultPlan& faults = platform_.faults();
  faults.Fail("WriteFile", 1, 112, true);
  platform_.ui().QueueAnswer(svp::kIdNo);
  SvLogText("lost %d\n", 1);
  EXPECT_TRUE(SvIsLogOpen());
  platform_.ui().QueueAnswer(svp::kIdNo);  // still failing: asked again
  SvLogMessage(10051);
  faults.Clear();
  SvLogMessage(10052);
  EXPECT_EQ("Ending finish phase.\r\n", LogBytes());  // the failed ones are not retried
  // A flush that fails asks too, before the message's own box.
  faults.Fail("FlushFileBuffers", 1, 5);
  platform_.ui().QueueAnswer(svp::kIdNo);
  platform_.ui().QueueAnswer(svp::kIdOk);
  EXPECT_EQ(svp::kIdOk, SvLogMessageBox(10005, 0x10));

  // Yes: the file would take text again, but the run no longer logs or asks;
  // boxes keep working.
  faults.Fail("WriteFile", 1, 112, true);
  platform_.ui().QueueAnswer(svp::kIdYes);
  SvLogMessage(10021);
  EXPECT_FALSE(SvIsLogOpen());
  faults.Clear();
  const std::string bytes = LogBytes();
  SvLogMessage(10030);
  SvLogText("text\n");
  EXPECT_EQ(svp::kIdOk, SvLogMessageBox(10005, 0x10));
  EXPECT_EQ(bytes, LogBytes());
  const std::string failed = Text(10005);
  EXPECT_EQ((Strings{WriteFailed("lost 1\n"), WriteFailed("Starting finish phase\n"),
                     WriteFailed(failed), "10 " + failed,
                     WriteFailed("Starting network control panel phase.\n"), "10 " + failed}),
            Boxes());
}

TEST_F(SetupLog, MessagesLongerThanTheBufferAreCut) {
  ASSERT_TRUE(SvOpenLog(kLogPath));
  // 1,022 characters and the line feed fit exactly.
  SvLogText("%s\n", std::string(1022, 'a'));
  EXPECT_EQ(std::string(1022, 'a') + "\r\n", LogBytes());
  // Longer ones keep their first 1,023 characters (the line feed is lost).
  SvLogText("%s\n", std::string(1500, 'b'));
  EXPECT_EQ(std::string(1022, 'a') + "\r\n" + std::string(1023, 'b'), LogBytes());
  EXPECT_EQ(1023u, SvLastMessage().size());

  platform_.ui().QueueAnswer(svp::kIdOk);
  SvMessageBox(10004, 0x31, std::string(2000, 'p'));
  EXPECT_EQ(Strings{"31 " + SvFormat(Text(10004), {std::string(2000, 'p')}).substr(0, 1023)},
            Boxes());
}

}  // namespace
