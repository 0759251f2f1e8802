// The workstation a fuzz input runs on: the sample workstation, a simulated
// sheet and dialogs, a log open on C:, and a user who answers every box.
// What the program asks for lands in the simulated platform only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/switches.h"
#include "files/verconfl.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/memory/memory_platform.h"
#include "sample_workstation.h"

namespace fuzz {

inline std::string Text(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// The parts of an input separated by a line "----".
inline std::vector<std::string> Parts(const std::string& input, size_t count) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (parts.size() + 1 < count) {
    const size_t mark = input.find("\n----\n", start);
    if (mark == std::string::npos) break;
    parts.push_back(input.substr(start, mark - start + 1));
    start = mark + 6;
  }
  parts.push_back(input.substr(std::min(start, input.size())));
  parts.resize(count);
  return parts;
}

class Workstation {
 public:
  static constexpr const char* kConfigKey = sample::kConfig;

  // The whole sample workstation, or (faster) only its product directory,
  // system files and environment.
  enum Kind { kBare, kSample };
  explicit Workstation(Kind kind = kBare, bool openLog = true) {
    svp::SetMemoryFailureReporter([](const std::string&) {});
    if (kind == kSample) sample::Stage(platform_);
    platform_.ui().SetResponder(sample::Answer);
    macros_ = std::make_unique<CSvMacroList>(svp::kHKeyLocalMachine, kConfigKey);
    for (const auto& [name, value] : {std::pair<const char*, const char*>{"LDID_SV", "C:\\SV32"},
                                      {"LDID_SYS", "C:\\WINNT\\system32"},
                                      {"LDID_WIN", "C:\\WINNT"},
                                      {"TRLCORE_Installed", "TRUE"}})
      macros_->AddMacro(name, value, SV_MACRO_VOLATILE);
    switches_ = std::make_unique<CSvSwitchList>();
    for (uint32_t id : {kSwNoNetCpl, kSwNoVerCheck, kSwForceCopy, kSwNoShortcuts, kSwNoCopy,
                        kSwForceNew, kSwSilent, kSwNoTextEdit, kSwAutoSetup})
      switches_->AddSwitch(id);
    kit_ = std::make_unique<CSvKit>(nullptr, macros_.get(), switches_.get());
    if (openLog) SvOpenLog("C:\\SVSETUP.LOG");
  }

  ~Workstation() {
    kit_.reset();
    SvCloseLog();
    // What the run left open is a leak of the program's.
    if (platform_.files().OpenHandleCount() != 0 || platform_.registry().OpenKeyCount() != 0)
      __builtin_trap();
  }

  svp::MemoryPlatform& platform() { return platform_; }
  svp::MemorySheetHost& sheets() { return platform_.sheets(); }
  CSvMacroList& macros() { return *macros_; }
  CSvSwitchList& switches() { return *switches_; }
  CSvKit& kit() { return *kit_; }

 private:
  svp::InstalledMemoryPlatform platform_;
  std::unique_ptr<CSvMacroList> macros_;
  std::unique_ptr<CSvSwitchList> switches_;
  std::unique_ptr<CSvKit> kit_;
};

}  // namespace fuzz
