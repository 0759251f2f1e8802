// The version comparison run before a copy overwrites a file, and its
// "Version Conflict" dialog.
#pragma once

#include <cstdint>
#include <string>

#include "app/svobject.h"
#include "platform/platform.h"

// What DoModal gives when the platform could not show the dialog.
enum : int { kSvVersionDialogNotShown = -1 };

// The dialog on template 128; the four strings are bound to its controls.
class CVerConfl : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CVerConfl)
  CVerConfl() = default;

  // The dialog's answer (svp::kIdVersionYes keeps the existing file,
  // svp::kIdVersionNo, svp::kIdVersionNoToAll) or kSvVersionDialogNotShown.
  int DoModal();

  std::string m_description;  // 1037
  std::string m_fileName;     // 1035
  std::string m_value;        // 1018
  std::string m_label;        // 1040
};

// Results of the version comparison.
enum : uint32_t {
  kSvVersionKeep = 0,  // keep the existing file, or the source cannot be examined
  kSvVersionCopy = 1,
};

uint32_t SvCheckVersionConflict(const std::string& source, const std::string& destination);

// The run-wide No to All answer: once chosen, later copies overwrite without
// asking.  It lives in the platform's run state, which each installed
// platform starts afresh.
bool SvIsNoToAllChosen();

// "%H:%M:%S, %a, %b %d, %Y" of a file time in local time; empty when the
// platform cannot convert it.
std::string SvFormatFileDate(const svp::FileTime& time);
