// The setup log and the string-table message boxes.
//
// The log holds exactly the formatted messages of one run, each line feed
// stored as CR LF, every message on disk before the call returns.  Boxes carry
// the application's title (string 57344) and are modal to the main window.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "log/format.h"

// Styles of the message boxes (the platform's own values, passed through).
enum : uint32_t {
  kSvBoxOk = 0x0,
  kSvBoxOkCancel = 0x1,
  kSvBoxYesNo = 0x4,
  kSvBoxIconStop = 0x10,
  kSvBoxIconQuestion = 0x20,
  kSvBoxIconExclamation = 0x30,
};

// What the boxes return: the button pressed, or NotShown when the text is
// missing or the box could not be shown.
enum : int {
  kSvBoxNotShown = -1,
  kSvAnswerOk = 1,
  kSvAnswerCancel = 2,
  kSvAnswerYes = 6,
  kSvAnswerNo = 7,
};

// Formatted messages are cut at 1,023 characters: a longer one would not fit
// the message buffer, and cutting keeps the start, which names the operation.
constexpr size_t kSvMessageLimit = 1023;

bool SvOpenLog(const std::string& path);
void SvCloseLog();
bool SvIsLogOpen();
// Forces buffered log text to disk; false when the file refused.
bool SvFlushLog();

// Loads a string-table text; false when it is missing or empty.
bool SvLoadString(uint32_t id, std::string* text);

void SvLogMessageV(uint32_t id, std::initializer_list<SvArg> args);
void SvLogTextV(const std::string& format, std::initializer_list<SvArg> args);
int SvLogMessageBoxV(uint32_t id, uint32_t type, std::initializer_list<SvArg> args);
int SvMessageBoxV(uint32_t id, uint32_t type, std::initializer_list<SvArg> args);

// The last formatted message (the process-wide message buffer).
const std::string& SvLastMessage();

template <typename... A>
void SvLogMessage(uint32_t id, const A&... args) {
  SvLogMessageV(id, {SvArg(args)...});
}
template <typename... A>
void SvLogText(const std::string& format, const A&... args) {
  SvLogTextV(format, {SvArg(args)...});
}
template <typename... A>
int SvLogMessageBox(uint32_t id, uint32_t type, const A&... args) {
  return SvLogMessageBoxV(id, type, {SvArg(args)...});
}
template <typename... A>
int SvMessageBox(uint32_t id, uint32_t type, const A&... args) {
  return SvMessageBoxV(id, type, {SvArg(args)...});
}
