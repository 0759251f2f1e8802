// The application object: start-up checks, the working directory, the one
// wizard, the keyboard handling of the modeless sheet, and the end of the run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CSvUninstallWizard;

class CSetupApp {
 public:
  CSetupApp();
  virtual ~CSetupApp();
  CSetupApp(const CSetupApp&) = delete;
  CSetupApp& operator=(const CSetupApp&) = delete;

  // True to enter the message loop; false ends the program at once.
  virtual bool InitInstance();
  // message: the platform's message record; true when the sheet consumed it.
  virtual bool PreTranslateMessage(const void* message);
  // The process exit code; quitCode is the quit message's parameter.
  virtual int ExitInstance(int quitCode = 0);

  std::string GetModuleDirectory() const { return moduleDirectory_; }
  CSvUninstallWizard* GetWizard() const { return wizard_.get(); }
  static bool IsUserAdmin();

 private:
  // Made by InitInstance, destroyed by ExitInstance (its destructor closes
  // the log and restarts Windows when agreed).
  std::unique_ptr<CSvUninstallWizard> wizard_;
  std::string savedDirectory_;
  std::string moduleDirectory_;
};

// The one application object of the process, or null.
CSetupApp* SvGetApp();

// The directory of the program's own file without trailing backslash;
// fallback when the platform cannot name the file.
std::string SvComputeModuleDirectory(const std::string& fallback);

// Lets the user interface catch up during long work.
void SvPumpMessages();
