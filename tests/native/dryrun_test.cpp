// The dry run over the sample workstation as its "real" side: planning
// changes nothing there, and the plan says what the run would do.  That the
// real run then does exactly that is proven on the real platform, under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plan/plan.h"
#include "platform/memory/memory_platform.h"
#include "sample_workstation.h"

namespace {

TEST(DryRunTest, PlanChangesNothingAndSaysWhatTheRunWouldDo) {
  svp::MemoryPlatform real;
  sample::Stage(real);
  real.files().DeleteFile("C:\\SV32\\README.TXT");
  const auto before = sample::Capture(real);
  const auto lister = [&real](const std::string& dir, std::vector<svp::DryRunDirEntry>* out) {
    for (const std::string& name : real.files().List(dir)) {
      const std::string child = dir.back() == '\\' ? dir + name : dir + "\\" + name;
      out->push_back({name, real.files().GetFileAttributes(child)});
    }
    return true;
  };
  svp::DryRunPlatform dry(real.Parts(), lister);
  CSvPlan plan;
  plan.Run(dry, "/NOSHORTCUTS");
  // The workstation is untouched: no file, key, value, restart request,
  // network component, binding review, process or box.
  EXPECT_EQ(before, sample::Capture(real));
  EXPECT_EQ(0, real.net().reviewCount());
  EXPECT_TRUE(real.system().startedProcesses().empty());
  EXPECT_TRUE(real.ui().boxes().empty());

  const std::string text = plan.Text();
  for (const char* expected :
       {"What \"KITPURGE.EXE /NOSHORTCUTS /SILENT\" would do",
        "  log        SvDeleteFile: C:\\SV32\\SVREMOTE.EXE\n",
        "  delete     C:\\SV32\\SVCORE.DLL  [in use: error 32]\n"
        "  delete-at-restart C:\\SV32\\SVCORE.DLL\n",
        "  delete     C:\\SV32\\README.TXT  [already missing]\n",
        "  net-remove SVPRINT  [assumed to succeed]\n  net-review-bindings\n",
        "  start-process svs2tnst.exe  0x80  [already missing]\n",
        "  Path before: %SystemRoot%\\system32;%SystemRoot%;C:\\SV32\n"
        "  Path after:  %SystemRoot%\\system32;%SystemRoot%;\n",
        "AUTOEXEC.NT line 5 dropped: SET KSTA=C:\\SV32\n",
        "AUTOEXEC.NT line 6 dropped: lh C:\\SV32\\TNP16.EXE /I:TRELLNET\n",
        "shortcut kept: Administrative Tools\\VUDU Monitor (marker \"KEEP\", VUDU_Installed is "
        "true)\n",
        "  final message: \"To complete the uninstall of SOLVANE, Windows NT needs to be "
        "restarted. Would you like to restart your computer now?\" answered No\n"})
    EXPECT_NE(std::string::npos, text.find(expected)) << expected << "\n" << text;
  EXPECT_NE(std::string::npos, plan.Json().find("\"kind\": \"net-remove\", \"target\": \"TRELLNET\""));
  EXPECT_EQ((std::vector<std::string>{"delete C:\\SV32\\README.TXT", "delete C:\\SV32\\SVCORE.DLL",
                                      "delete C:\\SV32"}),
            dry.Effect().pendingOperations);
}

}  // namespace
