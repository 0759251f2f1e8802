// The workstation with a macro table, every switch, a kit and the setup log
// open, for the kit, text-edit and phase tests.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/switches.h"
#include "kit/kit.h"
#include "macros/macros.h"
#include "wizard_test_support.h"

// Every switch of the program, so that any command line of a test parses.
inline void RegisterAllSwitches(CSvSwitchList& list) {
  for (uint32_t id : {kSwNoNetCpl, kSwNoVerCheck, kSwForceCopy, kSwNoShortcuts, kSwNoCopy,
                      kSwForceNew, kSwSilent, kSwNoTextEdit, kSwAutoSetup})
    list.AddSwitch(id);
}

class KitFixture : public WorkstationFixture {
 protected:
  static constexpr const char* kKitDir = "C:\\KIT";
  static constexpr const char* kKitPath = "C:\\KIT\\KITPURGE.DAT";

  void SetUp() override {
    WorkstationFixture::SetUp();
    RegisterAllSwitches(switches_);
    kit_ = std::make_unique<CSvKit>(nullptr, macros_.get(), &switches_);
    files().MakeDirectory(kKitDir);
    ASSERT_TRUE(SvOpenLog(kLogPath));
  }
  void TearDown() override {
    kit_.reset();
    WorkstationFixture::TearDown();
  }

  // Writes the kit file and loads it from C:\KIT into a fresh kit.
  uint32_t Load(const std::string& text) {
    files().WriteFile(kKitPath, text);
    kit_ = std::make_unique<CSvKit>(nullptr, macros_.get(), &switches_);
    return kit_->LoadKitData(kKitDir, "KITPURGE.DAT");
  }
  std::string Macro(const char* name) {
    std::string value;
    return macros_->GetMacroValue(name, value) == 0 ? value : "<absent>";
  }

  // What `get` gives for each element of a kit list, in list order.
  template <class Range, class Getter>
  static Strings Names(const Range& range, Getter get) {
    Strings names;
    for (auto* item : range) names.push_back(std::invoke(get, item));
    return names;
  }
  Strings Files(const std::string& group) {
    CSvGroup* g = kit_->FindGroup(group);
    return g == nullptr ? Strings{"<no group>"} : Names(*g, &CSvFile::GetSourceName);
  }
  // "<source> <its directory> > <destination> <its directory> <flags> <size>".
  Strings Describe(const std::string& group) {
    const auto dir = [](CSvLocation* l) { return l ? l->GetPath() : std::string("-"); };
    return Names(*kit_->FindGroup(group), [&](CSvFile* f) {
      return f->GetSourceName() + " " + dir(f->GetSourceLocation()) + " > " + f->GetDestName() +
             " " + dir(f->GetDestLocation()) + " " + std::to_string(f->GetCopyFlags()) + " " +
             std::to_string(f->GetSize());
    });
  }
  Strings Selected() { return Names(kit_->SelectedFiles(), &CSvFile::GetSourceName); }

  std::unique_ptr<CSvMacroList> macros_ =
      std::make_unique<CSvMacroList>(svp::kHKeyLocalMachine, kConfigKey);
  CSvSwitchList switches_;
  std::unique_ptr<CSvKit> kit_;
};
