#include "textedit/textedit.h"

#include "app/switches.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "res/stringids.h"
#include "textedit/texthelpers.h"

CSvTextEdit::CSvTextEdit(const CSvMacroList* macros, const std::string& condition,
                         const std::string& commandFile, const std::string& sections,
                         uint32_t flags)
    : macros_(macros),
      condition_(condition),
      commandFile_(commandFile),
      sections_(sections),
      flags_(flags),
      file_(macros) {}

uint32_t CSvTextEdit::Run() {
  if (macros_ == nullptr || !macros_->IsMacroTrue(condition_.c_str())) return kSvReadOk;
  std::string expanded;
  macros_->ExpandMacros(commandFile_.c_str(), expanded, '{', '}');
  commandFile_.swap(expanded);
  if (file_.Open(commandFile_) != 0) return kSvReadNoFile;

  uint32_t status = kSvReadOk;
  std::string name;
  for (;;) {
    SvNextToken(sections_, " ", name);
    if (name.empty()) break;
    status = ProcessSection(name);
  }
  file_.Close();
  return status;
}

uint32_t CSvTextEdit::ProcessSection(const std::string& name) {
  if (file_.FindSection(name) != kSvReadOk) return kSvReadNoSection;
  SvLogText("Found Section %s\n", name);

  std::string command;
  std::string argument;
  for (;;) {
    uint32_t status = file_.ReadCommand(command, argument);
    if (status != kSvReadOk) return status;
    if (!command.empty()) SvLogText("Read Command %s %s\n", command, argument);
    if (SvEqualNoCase(command, "FILE")) {
      DoFile(argument);
    } else if (SvEqualNoCase(command, "DELETEBATCHCOMMAND")) {
      DoDeleteBatchCommand(argument);
    } else if (SvEqualNoCase(command, "DELETEINIVALUE")) {
      DoDeleteIniValue(argument);
    }
  }
}

// The commands are recognised and checked only: the uninstall's one real
// text edit (AUTOEXEC.NT) is a fixed clean-up step, and undoing arbitrary
// batch or INI edits on a guess could damage files the user changed since.
uint32_t CSvTextEdit::DoFile(const std::string&) { return kSvReadOk; }

uint32_t CSvTextEdit::DoDeleteBatchCommand(const std::string& argument) {
  std::string rest = argument;
  std::string text;
  std::string number;
  SvNextToken(rest, ",", text);
  SvTrim(text);
  SvNextToken(rest, ",", number);
  SvParseNumber(number);
  return text.empty() ? kSvReadMissingArg : kSvReadOk;
}

uint32_t CSvTextEdit::DoDeleteIniValue(const std::string& argument) {
  std::string rest = argument;
  std::string first;
  std::string second;
  std::string third;
  std::string number;
  SvNextToken(rest, ",", first);
  SvTrim(first);
  SvNextToken(rest, ",", second);
  SvTrim(second);
  SvNextToken(rest, ",", third);
  SvTrim(third);  // may be empty: absent
  SvNextToken(rest, ",", number);
  SvParseNumber(number);
  return first.empty() || second.empty() ? kSvReadMissingArg : kSvReadOk;
}

// ---------------------------------------------------------------------------
uint32_t CSvKit::ProcessTextEdits(CSvFinishStatusPage*) {
  if (switches_ != nullptr && switches_->IsSwitchSet(kSwNoTextEdit)) {
    SvLogMessage(kIdsTextEditSkipped);
    return kSvKitOk;
  }
  SvLogMessage(kIdsTextEditStart);
  for (CSvTextEdit* edit : textEdits_) edit->Run();
  SvLogMessage(kIdsTextEditEnd);
  return kSvKitOk;
}
