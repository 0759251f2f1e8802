// A simulated workstation with the simulated property sheet installed, for
// the wizard, page, initialisation and start-up tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/svlog.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_sheet.h"

class SheetFixture : public ::testing::Test {
 public:
  static constexpr const char* kLogPath = "C:\\SVSETUP.LOG";
  static constexpr const char* kConfigKey =
      "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";

 protected:

  void SetUp() override {
    svp::SetMemoryFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
    platform_.Install();
    svp::Get().sheets = &sheets_;
  }

  void TearDown() override {
    SvCloseLog();
    svp::Get().sheets = nullptr;
    svp::SetMemoryFailureReporter(nullptr);
  }

  // The whole setup log; closes it.
  std::string Log() {
    SvCloseLog();
    return platform_.files().ReadFile(kLogPath);
  }

  // The texts of the boxes shown so far.
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : platform_.ui().boxes()) texts.push_back(box.text);
    return texts;
  }

  std::string Text(uint32_t id) {
    std::string text;
    SvLoadString(id, &text);
    return text;
  }

  svp::MemoryFileSystem& files() { return platform_.files(); }
  svp::MemoryRegistry& registry() { return platform_.registry(); }
  svp::MemorySystem& system() { return platform_.system(); }
  svp::MemoryUserInterface& ui() { return platform_.ui(); }

  svp::MemoryPlatform platform_;
  svp::MemorySheetHost sheets_;
};
