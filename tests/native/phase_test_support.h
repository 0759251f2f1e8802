// The removal phases on a simulated workstation: alone, with a macro table,
// switch list and kit of their own (no wizard; the phases that need one make
// their own), or as the uninstall wizard runs them.
#pragma once

#include <memory>
#include <string>

#include "app/switches.h"
#include "app/uninstall.h"
#include "kit/kit.h"
#include "macros/macros.h"
#include "kit_test_support.h"
#include "wizard/pages.h"

// The phases alone (no wizard), on the kit fixture.
class PhaseFixture : public KitFixture {
 protected:
  void Define(const char* name, const char* value) {
    macros_->AddMacro(name, value, SV_MACRO_VOLATILE | SV_MACRO_OVERWRITE);
  }
  // Loads a kit data file written to C:\KIT and selects the group _REQUIRED.
  void LoadKit(const std::string& text) {
    ASSERT_EQ(0u, Load(text));
    kit_->SelectGroup("_REQUIRED");
  }
};

// The uninstall wizard over the simulated sheet, with every switch known,
// the product directory C:\SV32 and a kit loaded from C:\KIT.
class SequenceFixture : public WorkstationFixture {
 protected:
  void SetUp() override {
    RegisterAllSwitches(*wizard_->GetSwitchList());
    Define("LDID_SV", "C:\\SV32");
    files().MakeDirectory("C:\\SV32");
  }
  void TearDown() override {
    wizard_.reset();
    WorkstationFixture::TearDown();
  }

  void Define(const char* name, const char* value) {
    wizard_->GetMacroList()->AddMacro(name, value, SV_MACRO_VOLATILE | SV_MACRO_OVERWRITE);
  }

  // Parses the switches, loads the kit, shows the welcome page with Finish
  // enabled and opens the log.
  void Open(const char* commandLine, const std::string& kitText) {
    if (*commandLine != '\0') {
      ASSERT_TRUE(wizard_->GetSwitchList()->ParseSwitches(commandLine, "/-"));
    }
    files().WriteFile("C:\\KIT\\KITPURGE.DAT", kitText);
    ASSERT_EQ(0u, kit()->LoadKitData("C:\\KIT", "KITPURGE.DAT"));
    wizard_->AddPage(new CSvSplashPage(wizard_.get()), false);
    ASSERT_TRUE(wizard_->Create(false));
    wizard_->SetFinishAllowed(true);
    ASSERT_TRUE(SvOpenLog(kLogPath));
  }

  // The user presses Finish and the message loop runs until the quit.
  void PressFinish() {
    ASSERT_TRUE(sheets().ClickFinish());
    sheets().DispatchPosted();
    ASSERT_TRUE(sheets().QuitPosted());
  }

  // Ends the run (the wizard's destructor) and returns the whole log.
  std::string EndAndLog() {
    wizard_.reset();
    return Log();
  }

  CSvKit* kit() { return wizard_->GetKit(); }
  // The wizard's page made from a template, or null.
  template <class Page>
  Page* FindPage(uint32_t templateId) {
    for (CSvWizardPage* page : wizard_->GetPages())
      if (page->GetTemplateId() == templateId) return static_cast<Page*>(page);
    return nullptr;
  }

  std::unique_ptr<CSvUninstallWizard> wizard_ =
      std::make_unique<CSvUninstallWizard>(kConfigKey, svp::kHKeyLocalMachine);
};
