// A simulated workstation with its setup log, and the same with the simulated
// property sheet installed, for the kit, wizard, page, initialisation and
// start-up tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/svlog.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_sheet.h"

using Strings = std::vector<std::string>;

class WorkstationFixture : public ::testing::Test {
 public:
  static constexpr const char* kLogPath = "C:\\SVSETUP.LOG";

 protected:
  void SetUp() override { platform_.Install(); }
  void TearDown() override { SvCloseLog(); }

  // The whole setup log; closes it.
  std::string Log() {
    SvCloseLog();
    return platform_.files().ReadFile(kLogPath);
  }
  // The boxes shown so far, as "<type in hex> <text>".
  Strings Boxes() {
    Strings out;
    char type[16];
    for (const auto& box : platform_.ui().boxes()) {
      snprintf(type, sizeof type, "%x ", box.type);
      out.push_back(type + box.text);
    }
    return out;
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
};

class SheetFixture : public WorkstationFixture {
 public:
  static constexpr const char* kConfigKey =
      "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";

 protected:
  void SetUp() override {
    svp::SetMemoryFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
    WorkstationFixture::SetUp();
    svp::Get().sheets = &sheets_;
  }
  void TearDown() override {
    WorkstationFixture::TearDown();
    svp::Get().sheets = nullptr;
    svp::SetMemoryFailureReporter(nullptr);
  }

  // The installed product's directory, recorded but out of reach.
  void LockedProductDirectory() {
    registry().SetString(svp::kHKeyLocalMachine, kConfigKey, "LDID_SV_LONG", "C:\\LOCKED");
    files().MakeDirectory("C:\\LOCKED");
    files().SetInaccessible("C:\\LOCKED", true);
  }

  svp::MemorySheetHost sheets_;
};
