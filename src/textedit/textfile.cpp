#include "textedit/textfile.h"

#include <cstring>

namespace {
constexpr uint32_t kChunk = 64 * 1024;
}

CSvTextFile::~CSvTextFile() { Close(); }

uint32_t CSvTextFile::Open(const std::string& path, const char* mode, uint32_t share) {
  Close();
  if (mode == nullptr || (mode[0] != 'r' && mode[0] != 'w')) return svp::kErrInvalidParameter;
  const bool update = std::strchr(mode, '+') != nullptr;
  uint32_t access = 0;
  uint32_t disposition = 0;
  if (mode[0] == 'r') {
    access = svp::kGenericRead | (update ? static_cast<uint32_t>(svp::kGenericWrite) : 0u);
    disposition = svp::kOpenExisting;
  } else {
    access = svp::kGenericWrite | (update ? static_cast<uint32_t>(svp::kGenericRead) : 0u);
    disposition = svp::kCreateAlways;
  }
  svp::IFileSystem& fs = svp::Fs();
  svp::FileHandle h = fs.CreateFile(path, access, share, disposition);
  if (h == svp::kInvalidFile) {
    uint32_t err = fs.GetLastError();
    return err != 0 ? err : svp::kErrAccessDenied;
  }
  handle_ = h;
  buffer_.clear();
  pos_ = 0;
  eof_ = false;
  error_ = false;
  return svp::kErrSuccess;
}

bool CSvTextFile::Fill() {
  if (eof_ || error_) return false;
  if (!chunk_) chunk_.reset(new char[kChunk]);
  uint32_t got = 0;
  if (!svp::Fs().ReadFile(handle_, chunk_.get(), kChunk, &got)) {
    error_ = true;
    return false;
  }
  if (got == 0) {
    eof_ = true;
    return false;
  }
  // Ctrl-Z ends the text.
  const char* z = static_cast<const char*>(std::memchr(chunk_.get(), '\x1a', got));
  if (z != nullptr) {
    got = static_cast<uint32_t>(z - chunk_.get());
    eof_ = true;
  }
  buffer_.erase(0, pos_);
  pos_ = 0;
  buffer_.append(chunk_.get(), got);
  return true;
}

bool CSvTextFile::Gets(std::string* line, size_t maxChars) {
  line->clear();
  if (!IsOpen() || maxChars == 0) return false;
  bool any = false;
  while (line->size() < maxChars) {
    if (pos_ >= buffer_.size() && !Fill()) break;
    if (pos_ >= buffer_.size()) break;
    char c = buffer_[pos_];
    if (c == '\r') {
      // CR LF reads as LF; look ahead across a chunk boundary.
      if (pos_ + 1 >= buffer_.size()) Fill();
      if (pos_ + 1 < buffer_.size() && buffer_[pos_ + 1] == '\n') {
        pos_ += 2;
        line->push_back('\n');
        any = true;
        break;
      }
      ++pos_;
      line->push_back('\r');
      any = true;
      continue;
    }
    // Copy a run of ordinary bytes at once.
    size_t room = maxChars - line->size();
    size_t end = pos_;
    size_t limit = std::min(buffer_.size(), pos_ + room);
    while (end < limit && buffer_[end] != '\n' && buffer_[end] != '\r') ++end;
    if (end < limit && buffer_[end] == '\n') {
      line->append(buffer_, pos_, end + 1 - pos_);
      pos_ = end + 1;
      any = true;
      break;
    }
    line->append(buffer_, pos_, end - pos_);
    any = any || end > pos_;
    pos_ = end;
  }
  if (!any) return false;
  size_t nul = line->find('\0');
  if (nul != std::string::npos) line->resize(nul);
  return true;
}

bool CSvTextFile::Puts(const std::string& text) {
  if (!IsOpen()) return false;
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  uint32_t written = 0;
  if (!svp::Fs().WriteFile(handle_, out.data(), static_cast<uint32_t>(out.size()), &written)) return false;
  return written == out.size();
}

bool CSvTextFile::Flush() { return IsOpen() && svp::Fs().FlushFileBuffers(handle_); }

bool CSvTextFile::Rewind() {
  if (!IsOpen()) return false;
  buffer_.clear();
  pos_ = 0;
  eof_ = false;
  error_ = false;
  return svp::Fs().SetFilePointer(handle_, 0);
}

void CSvTextFile::Close() {
  if (handle_ != svp::kInvalidFile) {
    svp::Fs().CloseHandle(handle_);
    handle_ = svp::kInvalidFile;
  }
  buffer_.clear();
  pos_ = 0;
}

