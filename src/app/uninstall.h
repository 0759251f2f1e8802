// The uninstall wizard: the frame plus the run's initialisation, the removal
// sequence started by Finish, the cancel question and the restart at the end.
#pragma once

#include <cstdint>
#include <string>

#include "wizard/wizard.h"

// The product's configuration key under HKEY_LOCAL_MACHINE, and the key of
// older versions that the initialisation migrates.
extern const char kSvConfigurationKey[];
extern const char kSvOldConfigurationKey[];

// The keys Finish deletes after the phases, in its order: the configuration
// key, which decides whether any other goes; the product's keys, each after
// its sub-keys, one level at a time; the service keys with everything below
// them (tree).
struct SvProductKey {
  svp::RegKey root;
  const char* path;
  bool tree;
};
extern const SvProductKey kSvProductKeys[13];

class CSvUninstallWizard : public CSvWizard {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvUninstallWizard)

  CSvUninstallWizard(const std::string& subKey, svp::RegKey root)
      : CSvWizard(subKey, root) {}
  // Logs 10053 and 10054, closes the log, restarts Windows when agreed.
  ~CSvUninstallWizard() override;

  // The removal sequence; 0.
  intptr_t Finish() override;
  // The cancel question; true keeps the wizard open.
  bool OnCancel() override;
  // Removes the older version's registrations and asks to restart.
  void OnOldVersionYes() override;

  // True when the wizard is open and waiting; false ends the run (the
  // reason has been shown).
  virtual bool Initialize();

  bool GetRestart() const { return restart_ != 0; }
  void SetRestart(bool restart) { restart_ = restart ? 1 : 0; }

 protected:
  uint32_t restart_ = 0;
};

// The macros the program itself defines, whatever the kit says: the
// initialisation defines the standard directories and the options with their
// defaults; the other steps of a run define the rest.  The kit lint reads the
// same tables.
extern const char* const kSvStandardDirectories[8];
struct SvDefaultMacro {
  const char* name;
  const char* value;
  uint32_t flags;
};
extern const SvDefaultMacro kSvDefaultOptions[5];
// LDID_KITROOT (the kit's loader), LDID_SV, LDID_SV_LONG, LDID_OLDSV (the
// product directory pages), LDID_SVLLV (the language switch), StartNetwork
// (the finish).
extern const char* const kSvRunDirectories[5];
extern const char kSvStartNetwork[];

// Pieces of the initialisation, public for the tests.

// Results of ParseLanguageSwitch.
enum : int {
  kSvLanguageAccepted = 0,  // an accepted (or empty) code, removed from the text
  kSvLanguageNone = 1,      // no language switch
  kSvLanguageUnknown = -1,
};

int ParseLanguageSwitch(std::string& text, std::string& code);
// The standard directory for an LDID_ name; false for any other name.
bool GetStandardDirectory(const char* name, std::string& directory);
// Writes each NAME=VALUE line into the configuration key; always true.
bool ReadAnswerFile(const std::string& path);
bool WriteAnswerValue(const std::string& name, const std::string& value);
