// A simulated workstation for the removal phases: the memory platform with
// the program's dialogs, a setup log on C:, and a macro table, switch list
// and kit of its own (no wizard; the phases that need one make their own).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/switches.h"
#include "files/verconfl.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/memory/memory_dialogs.h"
#include "platform/memory/memory_platform.h"

// Every switch of the program, so that any command line of a test parses.
inline void RegisterAllSwitches(CSvSwitchList& list) {
  for (uint32_t id : {kSwNoNetCpl, kSwNoVerCheck, kSwForceCopy, kSwNoShortcuts, kSwNoCopy,
                      kSwForceNew, kSwSilent, kSwNoTextEdit, kSwAutoSetup})
    list.AddSwitch(id);
}

class PhaseFixture : public ::testing::Test {
 protected:
  static constexpr const char* kLogPath = "C:\\SVSETUP.LOG";
  static constexpr const char* kConfigKey =
      "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";

  void SetUp() override {
    svp::SetMemoryFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
    platform_.Install();
    svp::Get().dialogs = &dialogs_;
    SvClearNoToAll();
    macros_ = std::make_unique<CSvMacroList>(svp::kHKeyLocalMachine, kConfigKey);
    switches_ = std::make_unique<CSvSwitchList>();
    RegisterAllSwitches(*switches_);
    kit_ = std::make_unique<CSvKit>(nullptr, macros_.get(), switches_.get());
    ASSERT_TRUE(SvOpenLog(kLogPath));
  }

  void TearDown() override {
    kit_.reset();
    SvCloseLog();
    svp::Get().dialogs = nullptr;
    svp::SetMemoryFailureReporter(nullptr);
  }

  // The whole setup log (closes it).
  std::string Log() {
    SvCloseLog();
    return platform_.files().ReadFile(kLogPath);
  }

  void SetSwitches(const char* commandLine) {
    ASSERT_TRUE(switches_->ParseSwitches(commandLine, "/-"));
  }

  void Define(const char* name, const char* value) {
    macros_->AddMacro(name, value, SV_MACRO_VOLATILE | SV_MACRO_OVERWRITE);
  }

  // Loads a kit data file written to C:\KIT and selects the group _REQUIRED.
  void LoadKit(const std::string& text) {
    platform_.files().WriteFile("C:\\KIT\\KITPURGE.DAT", text);
    ASSERT_EQ(0u, kit_->LoadKitData("C:\\KIT", "KITPURGE.DAT"));
    kit_->SelectGroup("_REQUIRED");
  }

  svp::MemoryFileSystem& files() { return platform_.files(); }
  svp::MemoryRegistry& registry() { return platform_.registry(); }
  svp::MemoryUserInterface& ui() { return platform_.ui(); }

  svp::MemoryPlatform platform_;
  svp::MemoryDialogs dialogs_;
  std::unique_ptr<CSvMacroList> macros_;
  std::unique_ptr<CSvSwitchList> switches_;
  std::unique_ptr<CSvKit> kit_;
};

inline svp::FileTime MakeTime(uint32_t high, uint32_t low) {
  svp::FileTime t;
  t.high = high;
  t.low = low;
  return t;
}

// ---------------------------------------------------------------------------
// The uninstall wizard over the simulated sheet, with every switch known,
// the product directory C:\SV32 and a kit loaded from C:\KIT.
#include "app/uninstall.h"
#include "platform/memory/memory_sheet.h"
#include "wizard/pages.h"

class SequenceFixture : public ::testing::Test {
 protected:
  static constexpr const char* kLogPath = "C:\\SVSETUP.LOG";
  static constexpr const char* kConfigKey =
      "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";

  void SetUp() override {
    svp::SetMemoryFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
    platform_.Install();
    svp::Get().sheets = &sheet_;
    svp::Get().dialogs = &dialogs_;
    SvClearNoToAll();
    wizard_ = new CSvUninstallWizard(kConfigKey, svp::kHKeyLocalMachine);
    RegisterAllSwitches(*wizard_->GetSwitchList());
    Define("LDID_SV", "C:\\SV32");
    Define("LDID_SYS", "C:\\WINNT\\system32");
    Define("LDID_WIN", "C:\\WINNT");
    files().MakeDirectory("C:\\SV32");
  }

  void TearDown() override {
    delete wizard_;
    wizard_ = nullptr;
    SvCloseLog();
    svp::Get().sheets = nullptr;
    svp::Get().dialogs = nullptr;
    svp::SetMemoryFailureReporter(nullptr);
  }

  void Define(const char* name, const char* value) {
    wizard_->GetMacroList()->AddMacro(name, value, SV_MACRO_VOLATILE | SV_MACRO_OVERWRITE);
  }

  // Parses the switches, loads the kit, shows the welcome page with Finish
  // enabled and opens the log.
  void Open(const char* commandLine, const std::string& kitText) {
    if (*commandLine != '\0')
      ASSERT_TRUE(wizard_->GetSwitchList()->ParseSwitches(commandLine, "/-"));
    files().WriteFile("C:\\KIT\\KITPURGE.DAT", kitText);
    ASSERT_EQ(0u, kit()->LoadKitData("C:\\KIT", "KITPURGE.DAT"));
    wizard_->AddPage(new CSvSplashPage(wizard_), false);
    ASSERT_TRUE(wizard_->Create(false));
    wizard_->SetFinishAllowed(true);
    ASSERT_TRUE(SvOpenLog(kLogPath));
  }

  // The user presses Finish and the message loop runs until the quit.
  void PressFinish() {
    ASSERT_TRUE(sheet_.ClickFinish());
    sheet_.DispatchPosted();
    ASSERT_TRUE(sheet_.QuitPosted());
  }

  // Ends the run (the wizard's destructor) and returns the whole log.
  std::string EndAndLog() {
    delete wizard_;
    wizard_ = nullptr;
    SvCloseLog();
    return files().ReadFile(kLogPath);
  }

  CSvKit* kit() { return wizard_->GetKit(); }
  svp::MemoryFileSystem& files() { return platform_.files(); }
  svp::MemoryRegistry& registry() { return platform_.registry(); }
  svp::MemoryUserInterface& ui() { return platform_.ui(); }

  svp::MemoryPlatform platform_;
  svp::MemorySheetHost sheet_;
  svp::MemoryDialogs dialogs_;
  CSvUninstallWizard* wizard_ = nullptr;
};
