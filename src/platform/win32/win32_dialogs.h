// The program's own modal dialogs on Win32 (dialog template 128 of the
// program's resources) and the local-time conversion of their texts.
#pragma once

#include "platform/dialogs.h"

namespace svp {

class Win32Dialogs : public IDialogs {
 public:
  int ShowVersionConflict(const VersionConflictTexts& texts) override;
  bool FileTimeToLocalTime(const FileTime& utc, SystemTime* local) override;
};

}  // namespace svp
