// A simulated workstation with a macro table, switches, a kit and a setup log
// on a memory path, for the kit and text-edit tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/switches.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/memory/memory_platform.h"

class KitFixture : public ::testing::Test {
 protected:
  static constexpr const char* kLogPath = "C:\\SVSETUP.LOG";
  static constexpr const char* kKitDir = "C:\\KIT";
  static constexpr const char* kKitPath = "C:\\KIT\\KITPURGE.DAT";

  void SetUp() override {
    platform_.Install();
    macros_ = std::make_unique<CSvMacroList>(
        svp::kHKeyLocalMachine,
        "Software\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration");
    switches_ = std::make_unique<CSvSwitchList>();
    switches_->AddSwitch(kSwNoTextEdit);
    kit_ = std::make_unique<CSvKit>(nullptr, macros_.get(), switches_.get());
    platform_.files().MakeDirectory(kKitDir);
    ASSERT_TRUE(SvOpenLog(kLogPath));
  }
  void TearDown() override {
    kit_.reset();
    SvCloseLog();
  }

  // Writes the kit file and loads it from C:\KIT.
  uint32_t Load(const std::string& text) {
    platform_.files().WriteFile(kKitPath, text);
    return kit_->LoadKitData(kKitDir, "KITPURGE.DAT");
  }

  // The whole setup log; closes it.
  std::string Log() {
    SvCloseLog();
    std::string bytes;
    platform_.files().ReadFile(kLogPath, &bytes);
    return bytes;
  }

  std::string Macro(const char* name) {
    std::string value;
    return macros_->GetMacroValue(name, value) == 0 ? value : "<absent>";
  }

  // The source names of a group's files, in list order.
  std::vector<std::string> Files(const std::string& group) {
    std::vector<std::string> names;
    CSvGroup* g = kit_->FindGroup(group);
    if (g == nullptr) return names;
    for (CSvFile* file : *g) names.push_back(file->GetSourceName());
    return names;
  }

  std::vector<std::string> Selected() {
    std::vector<std::string> names;
    for (CSvFile* file : kit_->SelectedFiles()) names.push_back(file->GetSourceName());
    return names;
  }

  svp::MemoryPlatform platform_;
  std::unique_ptr<CSvMacroList> macros_;
  std::unique_ptr<CSvSwitchList> switches_;
  std::unique_ptr<CSvKit> kit_;
};
