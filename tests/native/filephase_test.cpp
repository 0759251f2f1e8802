// The file phase: preparation of the locations, the walk with its logging,
// the silent passes, Abort/Retry/Ignore, cancel and the progress page.
#include <string>

#include "files/filephase.h"
#include "phase_test_support.h"

namespace {

constexpr const char* kInUseText =
    "The process cannot access the file because it is being used by another process.";

class FilePhaseTest : public SequenceFixture {
 protected:
  uint32_t Run() {
    kit()->SelectGroup("_REQUIRED");
    SvPrepareLocations(kit());
    return SvRunFilePhase(kit());
  }
  CSvCopyStatusPage* CopyPage() { return FindPage<CSvCopyStatusPage>(kSvIddCopyStatus); }
};

TEST_F(FilePhaseTest, BusyAndMissingFilesAreLoggedAndPassedOver) {
  Open("", "DELETE,GONE.DLL,{LDID_SV},_REQUIRED\n"
           "DELETE,BUSY.DLL,{LDID_SV},_REQUIRED\n"
           "DELETE,FREE.DLL,{LDID_SV},_REQUIRED\n");
  files().WriteFile("C:\\SV32\\FREE.DLL", "x");
  files().WriteFile("C:\\SV32\\BUSY.DLL", "x");
  files().SetInUse("C:\\SV32\\BUSY.DLL", true);
  EXPECT_EQ(0u, Run());
  EXPECT_TRUE(ui().boxes().empty());
  EXPECT_FALSE(files().Exists("C:\\SV32\\FREE.DLL"));
  ASSERT_NE(nullptr, CopyPage());
  EXPECT_EQ(kSvIddCopyStatus, sheets().CurrentTemplate());
  // Deletes leave the progress lines empty.
  EXPECT_EQ("", CopyPage()->GetFirstText());
  EXPECT_EQ("", CopyPage()->GetSecondText());
  // DELETE records are listed in reverse file order.
  EXPECT_EQ(std::string("VcpOpen()\r\n"
                        "SvDeleteFile: C:\\SV32\\FREE.DLL\r\n"
                        "SvDeleteFile: C:\\SV32\\BUSY.DLL\r\n"
                        "SvDeleteFile failed.  File C:\\SV32\\BUSY.DLL, Error 20, ") +
                kInUseText +
                "\r\r\n\r\n"
                "SvDeleteFile: C:\\SV32\\GONE.DLL\r\n"
                "SvDeleteFile failed.  File C:\\SV32\\GONE.DLL, Error 2, "
                "The system cannot find the file specified.\r\r\n\r\n"
                "VcpClose()\r\n",
            Log());
}

TEST_F(FilePhaseTest, OtherDeleteErrorsAskAbortRetryIgnore) {
  Open("", "DELETE,B.DLL,{LDID_SV}\\NODIR,_REQUIRED\n"
           "DELETE,A.DLL,{LDID_SV}\\NODIR,_REQUIRED\n");
  ui().QueueAnswer(svp::kIdRetry);
  ui().QueueAnswer(svp::kIdIgnore);
  ui().QueueAnswer(svp::kIdAbort);
  EXPECT_EQ(14u, Run());
  const auto failed = [](const char* name, const char* end) {
    return std::string("SvDeleteFile failed.  File C:\\SV32\\NODIR\\") + name +
           ", Error 3, The system cannot find the path specified.\r" + end;
  };
  ASSERT_EQ(3u, ui().boxes().size());
  const auto& box = ui().boxes()[0];
  EXPECT_EQ("Installation Error", box.caption);
  EXPECT_EQ(0x22u, box.type);
  EXPECT_FALSE(box.owned);
  EXPECT_EQ(failed("A.DLL", "\n\n"), box.text);
  EXPECT_EQ(failed("B.DLL", "\n\n"), ui().boxes()[2].text);
  EXPECT_EQ("VcpOpen()\r\n"
            "SvDeleteFile: C:\\SV32\\NODIR\\A.DLL\r\n" + failed("A.DLL", "\r\n\r\n") +
            "SvDeleteFile: C:\\SV32\\NODIR\\A.DLL\r\n" + failed("A.DLL", "\r\n\r\n") +
            "SvDeleteFile: C:\\SV32\\NODIR\\B.DLL\r\n" + failed("B.DLL", "\r\n\r\n") +
            "VcpClose()\r\n",
            Log());
}

TEST_F(FilePhaseTest, CopiesReportOnlyRequiredFailuresAndShowProgress) {
  Open("", "COPY,OPT.DLL,OPT.DLL,{LDID_KITROOT},{LDID_SV},_REQUIRED,0,0\n"
           "COPY,REQ.DLL,REQ.DLL,{LDID_KITROOT},{LDID_SV},_REQUIRED,0x4001,0\n"
           "DELETE,OLD.DLL,{LDID_SV},_REQUIRED\n");
  files().WriteFile("C:\\SV32\\OLD.DLL", "x");
  files().WriteFile("C:\\KIT\\REQ.DLL", std::string(100, 'r'));
  files().WriteFile("C:\\SV32\\REQ.DLL", "old");
  files().SetInUse("C:\\SV32\\REQ.DLL", true);
  ui().QueueAnswer(svp::kIdIgnore);
  EXPECT_EQ(0u, Run());
  EXPECT_EQ(100u, kit()->GetBytesRequired());
  ASSERT_EQ(1u, ui().boxes().size());
  EXPECT_EQ(std::string("SvCopyFile failed.  File C:\\KIT\\REQ.DLL, Error 20, ") + kInUseText +
                "\r\n\n",
            ui().boxes()[0].text);
  CSvCopyStatusPage* page = CopyPage();
  ASSERT_NE(nullptr, page);
  EXPECT_EQ("C:\\KIT\\REQ.DLL", page->GetFirstText());
  EXPECT_EQ("C:\\SV32\\REQ.DLL", page->GetSecondText());
  EXPECT_EQ(std::string("VcpOpen()\r\n"
                        "SvDeleteFile: C:\\SV32\\OLD.DLL\r\n"
                        "SvCopyFile Src C:\\KIT\\OPT.DLL Dest C:\\SV32\\OPT.DLL\r\n"
                        "SvCopyFile Src C:\\KIT\\REQ.DLL Dest C:\\SV32\\REQ.DLL\r\n"
                        "SvCopyFile failed.  File C:\\KIT\\REQ.DLL, Error 20, ") +
                kInUseText + "\r\r\n\r\nVcpClose()\r\n",
            Log());
}

TEST_F(FilePhaseTest, CancelDuringTheWalkStopsBeforeTheNextRecord) {
  Open("", "DELETE,C.DLL,{LDID_SV},_REQUIRED\n"
           "DELETE,B.DLL,{LDID_SV},_REQUIRED\n"
           "DELETE,A.DLL,{LDID_SV},_REQUIRED\n");
  for (const char* name : {"A.DLL", "B.DLL", "C.DLL"})
    files().WriteFile(std::string("C:\\SV32\\") + name, "x");
  int pumps = 0;
  ui().SetPumpHook([&] {
    // The user confirms Cancel while A.DLL is being removed.
    if (++pumps == 3) kit()->SetCancelled();
  });
  EXPECT_EQ(1u, Run());
  EXPECT_FALSE(files().Exists("C:\\SV32\\A.DLL"));
  EXPECT_TRUE(files().Exists("C:\\SV32\\B.DLL"));
  EXPECT_TRUE(files().Exists("C:\\SV32\\C.DLL"));
  EXPECT_EQ("VcpOpen()\r\nSvDeleteFile: C:\\SV32\\A.DLL\r\nVcpClose()\r\n",
            Log());
}

TEST_F(FilePhaseTest, PreparationCreatesOnlyLocalDirectoriesThatReceiveFiles) {
  Open("", "COPY,A.DLL,A.DLL,{LDID_KITROOT},{LDID_SV}\\NEW\\SUB,_REQUIRED,0,10\n"
           "COPY,B.DLL,B.DLL,{LDID_KITROOT},\\\\SERVER\\SHARE\\SV,_REQUIRED,0,10\n"
           "DELETE,C.DLL,{LDID_SV}\\DELONLY,_REQUIRED\n");
  files().WriteFile("C:\\KIT\\A.DLL", std::string(300, 'a'));
  kit()->SelectGroup("_REQUIRED");
  EXPECT_EQ(0u, SvPrepareLocations(kit()));
  EXPECT_TRUE(files().IsDirectory("C:\\SV32\\NEW\\SUB"));
  EXPECT_FALSE(files().Exists("C:\\SV32\\DELONLY"));
  EXPECT_EQ("C:\\SV32\\DELONLY", kit()->FindLocation("{LDID_SV}\\DELONLY")->GetPath());
  EXPECT_EQ(300u, kit()->GetBytesRequired());

  // Not enough space on the product's drive.
  files().SetFreeSpace('C', 100);
  EXPECT_EQ(18u, SvPrepareLocations(kit()));
  // The current directory is put back after the query.
  std::string current;
  svp::Fs().GetCurrentDirectory(&current);
  EXPECT_EQ("C:\\", current);
}

TEST_F(FilePhaseTest, DirectoryThatCannotBeCreatedStopsThePreparation) {
  Define("EMPTY", "");
  Open("", "COPY,A.DLL,A.DLL,{LDID_KITROOT},{EMPTY},_REQUIRED,0,10\n");
  kit()->SelectGroup("_REQUIRED");
  EXPECT_EQ(3u, SvPrepareLocations(kit()));
  EXPECT_EQ("Directory create failed, path \r\n", Log());
}

}  // namespace
