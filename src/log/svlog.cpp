#include "log/svlog.h"

#include "platform/platform.h"
#include "textedit/textfile.h"
#include "res/stringids.h"

namespace {
constexpr bool SameValue(uint32_t ours, uint32_t platform) { return ours == platform; }
}  // namespace

static_assert(SameValue(kSvBoxOk, svp::kMbOk) && SameValue(kSvBoxOkCancel, svp::kMbOkCancel) &&
                  SameValue(kSvBoxYesNo, svp::kMbYesNo) &&
                  SameValue(kSvBoxIconStop, svp::kMbIconStop) &&
                  SameValue(kSvBoxIconQuestion, svp::kMbIconQuestion) &&
                  SameValue(kSvBoxIconExclamation, svp::kMbIconExclamation),
              "box styles go to the platform unchanged");
static_assert(SameValue(kSvAnswerOk, svp::kIdOk) && SameValue(kSvAnswerCancel, svp::kIdCancel) &&
                  SameValue(kSvAnswerYes, svp::kIdYes) && SameValue(kSvAnswerNo, svp::kIdNo),
              "answers come from the platform unchanged");

namespace {

CSvTextFile* g_log = nullptr;
std::string g_message;  // the message buffer

void SetMessage(std::string text) {
  if (text.size() > kSvMessageLimit) text.resize(kSvMessageLimit);
  g_message = std::move(text);
}

int ShowBox(const std::string& text, uint32_t type) {
  std::string caption;
  SvLoadString(kIdsAppTitle, &caption);
  return svp::Ui().MessageBox(text, caption, type, true);
}

// Writes the message buffer to the log and forces it to disk; on failure asks
// whether to stop logging.
void WriteMessage() {
  if (g_log == nullptr) return;
  bool ok = g_log->Puts(g_message);
  ok = SvFlushLog() && ok;
  if (ok) return;
  std::string failed = g_message;
  std::string question;
  if (!SvLoadString(kIdsLogWriteFailed, &question)) return;
  SetMessage(SvFormat(question, {failed}));
  if (ShowBox(g_message, kSvBoxYesNo | kSvBoxIconExclamation) == kSvAnswerYes) SvCloseLog();
}

}  // namespace

bool SvLoadString(uint32_t id, std::string* text) {
  std::string s;
  if (!svp::Sys().LoadString(id, &s) || s.empty()) return false;
  *text = std::move(s);
  return true;
}

bool SvOpenLog(const std::string& path) {
  auto* file = new CSvTextFile;
  // Exclusive: a second instance of the program cannot open it, and neither
  // can a second open of this one while the first log is open, which leaves
  // that log's file as it was.
  if (file->Open(path, "w", 0) != 0) {
    delete file;
    SvCloseLog();
    return false;
  }
  SvCloseLog();
  g_log = file;
  return true;
}

void SvCloseLog() {
  delete g_log;
  g_log = nullptr;
}

bool SvIsLogOpen() { return g_log != nullptr; }

bool SvFlushLog() { return g_log != nullptr && g_log->Flush(); }

const std::string& SvLastMessage() { return g_message; }

void SvLogMessageV(uint32_t id, std::initializer_list<SvArg> args) {
  if (g_log == nullptr) return;
  std::string text;
  if (!SvLoadString(id, &text)) return;
  SetMessage(SvFormat(text, args));
  WriteMessage();
}

void SvLogTextV(const std::string& format, std::initializer_list<SvArg> args) {
  if (g_log == nullptr) return;
  SetMessage(SvFormat(format, args));
  WriteMessage();
}

int SvLogMessageBoxV(uint32_t id, uint32_t type, std::initializer_list<SvArg> args) {
  std::string text;
  if (!SvLoadString(id, &text)) return kSvBoxNotShown;
  SetMessage(SvFormat(text, args));
  std::string shown = g_message;
  WriteMessage();
  return ShowBox(shown, type);
}

int SvMessageBoxV(uint32_t id, uint32_t type, std::initializer_list<SvArg> args) {
  std::string text;
  if (!SvLoadString(id, &text)) return kSvBoxNotShown;
  SetMessage(SvFormat(text, args));
  return ShowBox(g_message, type);
}
