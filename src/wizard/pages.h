// The uninstall's pages: welcome, product directory, old version, and the two
// progress pages the removal sequence and the file phase write to.
#pragma once

#include <cstdint>
#include <string>

#include "wizard/page.h"

// Dialog templates.
enum : uint16_t {
  kSvIddSplash = 101,
  kSvIddTargetDir = 134,
  kSvIddDirChooser = 1536,
  kSvIddCopyStatus = 1539,
  kSvIddFinishStatus = 1543,
  kSvIddOldVersion = 1546,
};

// Controls.
enum : uint32_t {
  kSvIdcOldVersionYes = 6,
  kSvIdcTargetBrowse = 1009,
  kSvIdcTargetEdit = 1011,
  kSvIdcCopyFirst = 1011,
  kSvIdcCopySecond = 1012,
  kSvIdcSplashVersion = 1018,
  kSvIdcNetworkText = 1020,
  kSvIdcShortcutText = 1021,
  kSvIdcNetworkTick = 1023,
  kSvIdcShortcutTick = 1024,
  kSvIdcSplashReadme = 1031,
};

class CSvSplashPage : public CSvWizardPage {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvSplashPage)
  explicit CSvSplashPage(CSvWizard* wizard);

  bool IsRequired() override { return true; }
  bool OnInitDialog() override;
  void DoDataExchange(bool save) override;
  bool OnCommand(uint32_t id) override;

  // Opens the expanded readme path with the shell.
  void OnReadme();
  const std::string& GetVersionText() const { return version_; }

 private:
  std::string version_;
};

class CSvTargetDirPage : public CSvWizardPage {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvTargetDirPage)
  // Settles LDID_SV, LDID_SV_LONG and LDID_OLDSV (and Upgrade).
  explicit CSvTargetDirPage(CSvWizard* wizard);

  int Validate(bool showMessages) override;
  bool IsRequired() override;
  bool OnInitDialog() override;
  void DoDataExchange(bool save) override;
  bool OnCommand(uint32_t id) override;

  void OnBrowse();
  const std::string& GetDirectory() const { return directory_; }
  void SetDirectory(const std::string& directory) { directory_ = directory; }
  bool IsSilent() const { return silent_ != 0; }

 private:
  std::string directory_;
  uint32_t silent_ = 0;
};

class CSvOldVersionPage : public CSvWizardPage {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvOldVersionPage)
  explicit CSvOldVersionPage(CSvWizard* wizard);

  bool IsRequired() override;
  bool OnInitDialog() override;
  intptr_t OnSetActive() override;
  intptr_t OnKillActive() override;
  bool OnCommand(uint32_t id) override;
};

class CSvFinishStatusPage : public CSvWizardPage {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvFinishStatusPage)
  explicit CSvFinishStatusPage(CSvWizard* wizard);

  void DoDataExchange(bool save) override;

  void SetNetworkStatus(const std::string& text);
  void SetShortcutStatus(const std::string& text);
  const std::string& GetNetworkText() const { return networkText_; }
  const std::string& GetShortcutText() const { return shortcutText_; }
  bool GetNetworkTick() const { return networkTick_ != 0; }
  bool GetShortcutTick() const { return shortcutTick_ != 0; }

 private:
  uint32_t shortcutTick_ = 0;
  uint32_t networkTick_ = 0;
  std::string networkText_;
  std::string shortcutText_;
};

class CSvCopyStatusPage : public CSvWizardPage {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvCopyStatusPage)
  explicit CSvCopyStatusPage(CSvWizard* wizard);

  bool OnInitDialog() override;
  void DoDataExchange(bool save) override;

  // Shows d1\f1 and d2\f2, each shortened to 35 characters; the result of
  // moving them into the controls.
  bool SetCopyStatus(const std::string& d1, const std::string& f1, const std::string& d2,
                     const std::string& f2);
  uint32_t GetTotalBytes() const { return totalBytes_; }
  void SetTotalBytes(uint32_t bytes) { totalBytes_ = bytes; }
  const std::string& GetFirstText() const { return firstText_; }
  const std::string& GetSecondText() const { return secondText_; }
  bool IsInitialised() const { return initialised_ != 0; }

 private:
  uint32_t initialised_ = 0;
  uint32_t totalBytes_ = 0;
  std::string firstText_;
  std::string secondText_;
};
