#include "files/paths.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace {
constexpr uint32_t kPathBuffer = 260;
// The runtime's errno for "no such file or directory" from AccessExists.
constexpr int kNoSuchEntry = 2;
}

bool SvIsUncPath(const char* path) {
  return path != nullptr && path[0] == '\\' && path[1] == '\\';
}

bool SvIsDriveRoot(const char* path) {
  if (path == nullptr) return false;
  const size_t length = std::strlen(path);
  return length >= 2 && path[length - 2] == ':' && path[length - 1] == '\\';
}

uint32_t SvCheckPath(const std::string& path) {
  if (path.empty()) return kSvPathInaccessible;
  std::string copy = path;
  if (copy.back() == '\\') copy.pop_back();
  std::string checked;
  GetShortPath(copy, checked);
  const int error = svp::Fs().AccessExists(checked);
  if (error == 0) return kSvPathOk;
  if (error == kNoSuchEntry) return kSvPathNotFound;
  return kSvPathInaccessible;
}

uint32_t SvCreateDirectory(const std::string& path) {
  // A failure shows up later, when the caller uses the directory.
  svp::Fs().CreateDirectory(path);
  return kSvPathOk;
}

uint32_t SvCreatePath(const std::string& path) {
  std::vector<std::string> components;
  size_t pos = 0;
  while (pos < path.size()) {
    const size_t next = path.find('\\', pos);
    const size_t end = next == std::string::npos ? path.size() : next;
    if (end > pos) components.push_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  if (components.empty()) return kSvPathBadName;

  std::string accumulated = components[0] + "\\";
  for (size_t i = 1; i < components.size(); ++i) {
    accumulated += components[i];
    if (SvCheckPath(accumulated) == kSvPathNotFound) SvCreateDirectory(accumulated);
    accumulated += "\\";
  }
  return kSvPathOk;
}

uint32_t GetShortPath(const std::string& path, std::string& out) {
  out = path;
  return kSvPathOk;
}

uint32_t GetLongPath(const std::string& path, std::string& out) {
  out = path;
  return kSvPathOk;
}

uint32_t SvGetFullPath(std::string& out, const std::string& path) {
  std::string full;
  const uint32_t length = svp::Fs().GetFullPathName(path, kPathBuffer, &full);
  if (length >= 1 && length < kPathBuffer) out = full;
  return length;
}

void SvGetFullDirectory(const char* dir, std::string& out, const char* fileName) {
  if (dir == nullptr || fileName == nullptr) return;
  std::string copy = dir;
  if (!copy.empty() && copy.back() != '\\') copy += '\\';
  SvGetFullPath(out, copy);
}

void SvShortenPathForDisplay(const std::string& path, std::string& out, uint16_t width) {
  // Lengths are compared as 16-bit numbers, as the text fields count them.
  auto fits = [width](size_t length) { return static_cast<uint16_t>(length) <= width; };
  if (fits(path.size())) {
    out = path;
    return;
  }
  std::string head;
  std::string rest;
  const size_t pair = path.find("\\\\");
  const size_t slash = path.find('\\');
  if (pair != std::string::npos) {
    head = path.substr(0, pair + 2);
    rest = path.substr(pair + 2);
  } else if (slash != std::string::npos) {
    head = path.substr(0, slash + 1);
    rest = path.substr(slash + 1);
  } else {
    rest = path;
  }
  size_t next = rest.find('\\');
  if (next != std::string::npos) {
    head += rest.substr(0, next + 1);
    rest.erase(0, next + 1);
  }
  bool marked = false;
  while (!fits(head.size() + rest.size()) && (next = rest.find('\\')) != std::string::npos) {
    rest.erase(0, next + 1);
    if (!marked) {
      head += "...\\";
      marked = true;
    }
  }
  out = head + rest;
}
