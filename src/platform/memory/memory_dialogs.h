// The program's own dialogs in the simulated workstation: answers come from a
// script, every dialog shown is recorded, and local time is UTC plus a
// settable offset.
#pragma once

#include <deque>
#include <vector>

#include "platform/dialogs.h"

namespace svp {

class MemoryDialogs : public IDialogs {
 public:
  // FIFO answers for the version-conflict dialog.  When none is queued the
  // dialog records the fact and returns -1.
  void QueueVersionAnswer(int button) { answers_.push_back(button); }
  const std::vector<VersionConflictTexts>& shown() const { return shown_; }
  int unanswered() const { return unanswered_; }

  // Minutes east of UTC for the local-time conversion (0 by default).
  void SetUtcOffsetMinutes(int minutes) { offsetMinutes_ = minutes; }
  void SetLocalTimeFails(bool fails) { localTimeFails_ = fails; }

  int ShowVersionConflict(const VersionConflictTexts& texts) override;
  bool FileTimeToLocalTime(const FileTime& utc, SystemTime* local) override;

 private:
  std::deque<int> answers_;
  std::vector<VersionConflictTexts> shown_;
  int unanswered_ = 0;
  int offsetMinutes_ = 0;
  bool localTimeFails_ = false;
};

}  // namespace svp
