// The uninstall pages over the simulated property sheet: the product
// directory's rules and checks, the welcome page and the old-version page.
// The progress pages are in wizard_sheet_cases.h.
#include <memory>
#include <string>

#include "kit_test_support.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

class PageWizard : public CSvWizard {
 public:
  PageWizard() : CSvWizard(WorkstationFixture::kConfigKey, svp::kHKeyLocalMachine) {}
  void OnOldVersionYes() override { ++yes_; }
  int yes_ = 0;
};

class PagesTest : public WorkstationFixture {
 protected:
  // A fresh wizard with its switches parsed and the macros the pages build on.
  void Start(const char* commandLine = "") {
    wizard_.reset();
    SvCloseLog();
    wizard_ = std::make_unique<PageWizard>();
    RegisterAllSwitches(*wizard_->GetSwitchList());
    ASSERT_TRUE(wizard_->GetSwitchList()->ParseSwitches(commandLine, "/-"));
    macros()->AddMacro("LDID_APPS", "C:\\SV32", SV_MACRO_VOLATILE);
    macros()->AddMacro("LDID_KITROOT", "C:\\KIT", SV_MACRO_VOLATILE);
    macros()->AddMacro("Reinstall", "FALSE", 0);
    ASSERT_TRUE(SvOpenLog(kLogPath));
  }
  // Start, then the three navigation pages in the open sheet.
  void Open(const char* commandLine = "") {
    Start(commandLine);
    wizard_->AddPage(new CSvSplashPage(wizard_.get()), false);
    target_ = new CSvTargetDirPage(wizard_.get());
    wizard_->AddPage(target_, false);
    wizard_->AddPage(new CSvOldVersionPage(wizard_.get()), false);
    ASSERT_TRUE(wizard_->Create(false));
    wizard_->SetFinishAllowed(true);
  }
  void SetConfig(const char* name, const char* value) {
    registry().SetString(svp::kHKeyLocalMachine, kConfigKey, name, value);
  }
  std::string Macro(const char* name) {
    std::string value;
    return macros()->GetMacroValue(name, value) == 0 ? value : "<absent>";
  }
  std::string Edit() { return sheets().ItemText(kSvIddTargetDir, kSvIdcTargetEdit); }
  CSvMacroList* macros() { return wizard_->GetMacroList(); }

  std::unique_ptr<PageWizard> wizard_;
  CSvTargetDirPage* target_ = nullptr;
};

TEST_F(PagesTest, ProductDirectoryComesFromTheRecordTheAppsDirectoryOrKsta) {
  // KSTA, even set to nothing, marks an upgrade, logged, unless reinstalling.
  const struct {
    const char* ksta;  // nullptr: left as it is
    bool reinstall;
    const char* upgrade;
    const char* directory;
    const char* log;
  } cases[] = {
      {nullptr, false, "<absent>", "C:\\SV32", ""},
      {"E:\\KSTA", false, "TRUE", "E:\\KSTA", "Upgrade detected, old KSTA value = E:\\KSTA\r\n"},
      {"", false, "TRUE", "", "Upgrade detected, old KSTA value = \r\n"},
      {nullptr, true, "<absent>", "C:\\SV32", ""},
  };
  for (const auto& c : cases) {
    if (c.ksta != nullptr) system().SetEnvironment("KSTA", c.ksta);
    if (c.reinstall) SetConfig("Reinstall", "TRUE");
    Start();
    CSvTargetDirPage page(wizard_.get());
    EXPECT_EQ(c.upgrade, Macro("Upgrade")) << c.log;
    for (const char* name : {"LDID_SV", "LDID_SV_LONG", "LDID_OLDSV"})
      EXPECT_EQ(c.directory, Macro(name)) << name << " " << c.log;
    EXPECT_EQ(c.log, Log());
  }
  // The installed product's record wins and loses its backslash.
  SetConfig("LDID_SV_LONG", "D:\\Solvane 32\\");
  SetConfig("LDID_SV", "D:\\SOLVAN~1\\");
  Start("/SILENT");
  CSvTargetDirPage page(wizard_.get());
  EXPECT_EQ("D:\\SOLVAN~1\\", Macro("LDID_SV"));
  EXPECT_EQ("D:\\Solvane 32", page.GetDirectory());
  EXPECT_EQ("D:\\Solvane 32", Macro("LDID_OLDSV"));
  EXPECT_TRUE(page.IsSilent());
}

TEST_F(PagesTest, WelcomeLeadsToFinishWhenTheDirectoryIsUsableCreatableOrNotNeeded) {
  Open();  // C:\SV32 is missing: made without asking while the buttons are worked out
  EXPECT_EQ(kSvIddSplash, sheets().CurrentTemplate());
  EXPECT_EQ("7.3.026", sheets().ItemText(kSvIddSplash, kSvIdcSplashVersion));
  EXPECT_EQ(7000u, wizard_->GetPages()[0]->PanelControlId());
  ASSERT_TRUE(sheets().ClickPageButton(kSvIdcSplashReadme));
  EXPECT_EQ(Strings{"C:\\KIT\\KITPURGE.TXT"}, platform_.shell().openedDocuments());
  EXPECT_TRUE(files().IsDirectory("C:\\SV32"));
  EXPECT_EQ("C:\\SV32", Macro("LDID_SV"));
  EXPECT_EQ(svp::kWizFinish, sheets().Buttons());
  Open();
  EXPECT_EQ(svp::kWizFinish, sheets().Buttons());
  LockedProductDirectory();
  Open("/NOCOPY");
  EXPECT_EQ(svp::kWizFinish, sheets().Buttons());
  EXPECT_TRUE(ui().boxes().empty());
}

TEST_F(PagesTest, UnusableDirectoryShowsThePageWhoseChecksExplainEachRefusal) {
  LockedProductDirectory();
  files().MakeDirectory("D:\\GOOD");
  Open();
  EXPECT_TRUE(ui().boxes().empty());  // not current yet: no message
  ASSERT_EQ(svp::kWizNext, sheets().Buttons());
  ASSERT_TRUE(sheets().ClickNext());
  ASSERT_EQ(kSvIddTargetDir, sheets().CurrentTemplate());
  EXPECT_EQ("C:\\LOCKED", Edit());
  EXPECT_EQ(svp::kWizBack | svp::kWizFinish, sheets().Buttons());

  // Browse starts from the recorded directory and takes the chosen one.
  ui().QueueOpenFileAnswer(true, "D:\\PICKED\\DIR\\*.");
  ui().QueueOpenFileAnswer(true, "E:\\*.");
  ui().QueueOpenFileAnswer(false, "");
  ASSERT_TRUE(sheets().ClickPageButton(kSvIdcTargetBrowse));
  const svp::OpenFileRequest& request = ui().openFileRequests()[0];
  EXPECT_EQ(kSvIddDirChooser, request.templateId);
  EXPECT_EQ(target_->GetSafeHwnd(), request.owner);  // the page, not the sheet
  EXPECT_EQ("C:\\LOCKED", request.initialDirectory);
  EXPECT_EQ("*.", request.fileName);
  EXPECT_TRUE(request.directoryOnly);
  EXPECT_EQ("D:\\PICKED\\DIR", Edit());
  EXPECT_EQ("D:\\PICKED\\DIR", Macro("LDID_SV_LONG"));
  ASSERT_TRUE(sheets().ClickPageButton(kSvIdcTargetBrowse));
  EXPECT_EQ("E:\\", target_->GetDirectory());
  ASSERT_TRUE(sheets().ClickPageButton(kSvIdcTargetBrowse));  // cancelled
  EXPECT_EQ("E:\\", Edit());

  for (const char* typed : {"C:\\LOCKED", "  ", "\\\\SERVER\\SHARE", "C:\\", "C:"}) {
    sheets().TypeText(kSvIdcTargetEdit, typed);
    ASSERT_TRUE(sheets().ClickFinish());
    EXPECT_EQ(kSvIddTargetDir, sheets().LastResult(svp::kPsnWizFinish)) << typed;
  }
  EXPECT_EQ((Strings{"30 " + SvFormat(Text(6002), {"C:\\LOCKED"}), "0 " + Text(6005),
                     "30 " + Text(5009), "30 " + Text(5008), "30 " + Text(5008)}),
            Boxes());
  sheets().TypeText(kSvIdcTargetEdit, "D:\\GOOD\\");
  ASSERT_TRUE(sheets().ClickFinish());
  EXPECT_EQ(0xFFFF, sheets().LastResult(svp::kPsnWizFinish));
  EXPECT_EQ("D:\\GOOD", Macro("LDID_SV_LONG"));
  EXPECT_EQ("D:\\GOOD", Macro("LDID_SV"));
  // Only the messages that are logged reach the log.
  EXPECT_EQ(
      SvFormat(Text(6002), {"C:\\LOCKED"}) + "The installation directory must be specified\r\n",
      Log());
}

TEST_F(PagesTest, MissingDirectoryIsOfferedForCreationUntilTheFirstButtonUpdate) {
  files().AddDrive('D');
  Start();
  CSvTargetDirPage page(wizard_.get());
  page.SetDirectory("D:\\NEW\\DIR");
  EXPECT_EQ(0, page.Validate(false));
  EXPECT_TRUE(ui().boxes().empty());

  ui().QueueAnswer(svp::kIdNo);
  EXPECT_EQ(0, page.Validate(true));
  EXPECT_FALSE(files().Exists("D:\\NEW"));
  ui().QueueAnswer(svp::kIdYes);
  EXPECT_EQ(1, page.Validate(true));
  EXPECT_TRUE(files().IsDirectory("D:\\NEW\\DIR"));
  EXPECT_EQ("D:\\NEW\\DIR", Macro("LDID_SV"));
  const std::string question = "4 " + SvFormat(Text(5005), {"D:\\NEW\\DIR"});
  EXPECT_EQ((Strings{question, question}), Boxes());

  page.SetDirectory("D:\\OTHER");
  page.IsRequired();  // from here on the page creates without asking
  EXPECT_TRUE(files().IsDirectory("D:\\OTHER"));
  EXPECT_EQ(2u, ui().boxes().size());
}

TEST_F(PagesTest, OldVersionPageAllowsOnlyBackOrItsOwnAnswer) {
  files().MakeDirectory("C:\\SV32");
  registry().CreateKeyPath(svp::kHKeyLocalMachine,
                           "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\CurrentVersion\\NetRules");
  Open();
  ASSERT_EQ(svp::kWizNext, sheets().Buttons());
  ASSERT_TRUE(sheets().ClickNext());
  EXPECT_EQ(kSvIddOldVersion, sheets().CurrentTemplate());  // the directory page skipped
  EXPECT_FALSE(sheets().CancelEnabled());
  sheets().DispatchPosted();
  EXPECT_EQ(svp::kWizBack, sheets().Buttons());
  EXPECT_FALSE(sheets().ClickCancel());

  ASSERT_TRUE(sheets().ClickPageButton(kSvIdcOldVersionYes));
  EXPECT_EQ(1, wizard_->yes_);
  ASSERT_TRUE(sheets().ClickBack());
  EXPECT_EQ(kSvIddSplash, sheets().CurrentTemplate());
  EXPECT_TRUE(sheets().CancelEnabled());
  EXPECT_EQ(svp::kWizNext, sheets().Buttons());
}

}  // namespace
