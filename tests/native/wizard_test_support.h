// A simulated workstation, installed with its property sheet and dialogs for
// the test's lifetime, and the setup log on C:.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/svlog.h"
#include "platform/memory/memory_platform.h"

using Strings = std::vector<std::string>;

class WorkstationFixture : public ::testing::Test {
 public:
  static constexpr const char* kLogPath = "C:\\SVSETUP.LOG";
  static constexpr const char* kConfigKey =
      "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";

 protected:
  void TearDown() override { SvCloseLog(); }

  // The whole setup log; closes it.
  std::string Log() {
    SvCloseLog();
    return platform_.files().ReadFile(kLogPath);
  }
  // The boxes shown so far, as "<type in hex> <text>", flagged when one lacks
  // the setup caption or the main window as its owner.
  Strings Boxes() {
    Strings out;
    char type[16];
    for (const auto& box : platform_.ui().boxes()) {
      snprintf(type, sizeof type, "%x ", box.type);
      out.push_back(type + box.text +
                    (box.caption == "SOLVANE 32 for Windows NT Setup" ? "" : " <caption>") +
                    (box.owned ? "" : " <unowned>"));
    }
    return out;
  }
  std::string Text(uint32_t id) {
    std::string text;
    SvLoadString(id, &text);
    return text;
  }
  // The installed product's directory, recorded but out of reach.
  void LockedProductDirectory() {
    registry().SetString(svp::kHKeyLocalMachine, kConfigKey, "LDID_SV_LONG", "C:\\LOCKED");
    files().MakeDirectory("C:\\LOCKED");
    files().SetInaccessible("C:\\LOCKED", true);
  }

  svp::MemoryFileSystem& files() { return platform_.files(); }
  svp::MemoryRegistry& registry() { return platform_.registry(); }
  svp::MemorySystem& system() { return platform_.system(); }
  svp::MemoryUserInterface& ui() { return platform_.ui(); }
  svp::MemorySheetHost& sheets() { return platform_.sheets(); }
  svp::MemoryDialogs& dialogs() { return platform_.dialogs(); }

  svp::InstalledMemoryPlatform platform_;
};
