#include <io.h>

#include <cerrno>
#include <cstring>

#include "platform/win32/win32_internal.h"

namespace svp {
namespace win32 {

namespace {

FILETIME ToFiletime(const FileTime& t) {
  FILETIME f;
  f.dwLowDateTime = t.low;
  f.dwHighDateTime = t.high;
  return f;
}

FileTime FromFiletime(const FILETIME& f) {
  FileTime t;
  t.low = f.dwLowDateTime;
  t.high = f.dwHighDateTime;
  return t;
}

// The calls below that fill a caller's buffer: out is set only when the
// result fits, as the interface promises.
template <typename Call>
uint32_t FillPath(uint32_t bufferSize, std::string* out, Call call) {
  std::vector<char> buffer(bufferSize + 1u, '\0');
  DWORD n = call(bufferSize ? buffer.data() : nullptr, bufferSize);
  DWORD error = ::GetLastError();
  if (n > 0 && n < bufferSize && out != nullptr) out->assign(buffer.data(), n);
  ::SetLastError(error);
  return n;
}

}  // namespace

FileHandle FileSystem::CreateFile(const std::string& path, uint32_t access, uint32_t share,
                                  uint32_t disposition) {
  HANDLE h = ::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(h);
}

bool FileSystem::ReadFile(FileHandle h, void* buffer, uint32_t count, uint32_t* read) {
  DWORD n = 0;
  BOOL ok = ::ReadFile(ToHandle(h), buffer, count, &n, nullptr);
  if (read != nullptr) *read = n;
  return ok != FALSE;
}

bool FileSystem::WriteFile(FileHandle h, const void* data, uint32_t count, uint32_t* written) {
  DWORD n = 0;
  BOOL ok = ::WriteFile(ToHandle(h), data, count, &n, nullptr);
  if (written != nullptr) *written = n;
  return ok != FALSE;
}

bool FileSystem::FlushFileBuffers(FileHandle h) { return ::FlushFileBuffers(ToHandle(h)) != FALSE; }

bool FileSystem::SetFilePointer(FileHandle h, uint64_t position) {
  // NT 4.0 has no SetFilePointerEx: the position goes in two halves, and
  // 0xFFFFFFFF is a failure only when the last error says so.
  LONG high = static_cast<LONG>(position >> 32);
  ::SetLastError(NO_ERROR);
  DWORD low = ::SetFilePointer(ToHandle(h), static_cast<LONG>(position & 0xFFFFFFFFu), &high,
                               FILE_BEGIN);
  return low != INVALID_SET_FILE_POINTER || ::GetLastError() == NO_ERROR;
}

bool FileSystem::SetEndOfFile(FileHandle h) { return ::SetEndOfFile(ToHandle(h)) != FALSE; }

bool FileSystem::CloseHandle(FileHandle h) {
  if (h == kInvalidFile) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return ::CloseHandle(ToHandle(h)) != FALSE;
}

bool FileSystem::GetFileInformationByHandle(FileHandle h, ByHandleFileInfo* info) {
  BY_HANDLE_FILE_INFORMATION bi;
  if (!::GetFileInformationByHandle(ToHandle(h), &bi)) return false;
  if (info != nullptr) {
    info->attributes = bi.dwFileAttributes;
    info->creation = FromFiletime(bi.ftCreationTime);
    info->lastAccess = FromFiletime(bi.ftLastAccessTime);
    info->lastWrite = FromFiletime(bi.ftLastWriteTime);
    info->volumeSerial = bi.dwVolumeSerialNumber;
    info->sizeHigh = bi.nFileSizeHigh;
    info->sizeLow = bi.nFileSizeLow;
    info->links = bi.nNumberOfLinks;
    info->indexHigh = bi.nFileIndexHigh;
    info->indexLow = bi.nFileIndexLow;
  }
  return true;
}

bool FileSystem::SetFileTime(FileHandle h, const FileTime* creation, const FileTime* lastAccess,
                             const FileTime* lastWrite) {
  FILETIME c, a, w;
  if (creation != nullptr) c = ToFiletime(*creation);
  if (lastAccess != nullptr) a = ToFiletime(*lastAccess);
  if (lastWrite != nullptr) w = ToFiletime(*lastWrite);
  return ::SetFileTime(ToHandle(h), creation ? &c : nullptr, lastAccess ? &a : nullptr,
                       lastWrite ? &w : nullptr) != FALSE;
}

bool FileSystem::DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

bool FileSystem::MoveFileEx(const std::string& path, const std::string* newPath, uint32_t flags) {
  return ::MoveFileExA(path.c_str(), newPath ? newPath->c_str() : nullptr, flags) != FALSE;
}

bool FileSystem::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  return ::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool FileSystem::CreateDirectory(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool FileSystem::RemoveDirectory(const std::string& path) {
  return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

uint32_t FileSystem::GetFileAttributes(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

bool FileSystem::SetFileAttributes(const std::string& path, uint32_t attributes) {
  return ::SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

int FileSystem::AccessExists(const std::string& path) {
  if (_access(path.c_str(), 0) == 0) return 0;
  return errno;
}

bool FileSystem::GetDiskFreeSpace(const std::string* root, uint32_t* sectorsPerCluster,
                                  uint32_t* bytesPerSector, uint32_t* freeClusters,
                                  uint32_t* totalClusters) {
  DWORD spc = 0, bps = 0, fc = 0, tc = 0;
  if (!::GetDiskFreeSpaceA(root ? root->c_str() : nullptr, &spc, &bps, &fc, &tc)) return false;
  if (sectorsPerCluster) *sectorsPerCluster = spc;
  if (bytesPerSector) *bytesPerSector = bps;
  if (freeClusters) *freeClusters = fc;
  if (totalClusters) *totalClusters = tc;
  return true;
}

uint32_t FileSystem::GetFullPathName(const std::string& path, uint32_t bufferSize,
                                     std::string* out) {
  return FillPath(bufferSize, out, [&](char* buffer, DWORD size) {
    return ::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
  });
}

uint32_t FileSystem::GetShortPathName(const std::string& path, uint32_t bufferSize,
                                      std::string* out) {
  return FillPath(bufferSize, out, [&](char* buffer, DWORD size) {
    return ::GetShortPathNameA(path.c_str(), buffer, size);
  });
}

uint32_t FileSystem::GetCurrentDirectory(std::string* out) {
  DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return 0;
  std::vector<char> buffer(needed + 1u, '\0');
  DWORD n = ::GetCurrentDirectoryA(needed + 1u, buffer.data());
  if (n == 0 || n > needed) return 0;
  if (out != nullptr) out->assign(buffer.data(), n);
  return n;
}

bool FileSystem::SetCurrentDirectory(const std::string& path) {
  return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

uint32_t FileSystem::GetModuleFileName(std::string* out) {
  char buffer[MAX_PATH + 1] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  if (n > 0 && out != nullptr) out->assign(buffer, n);
  return n;
}

uint32_t FileSystem::GetLastError() { return ::GetLastError(); }

void FileSystem::SetLastError(uint32_t error) { ::SetLastError(error); }

bool FileSystem::FormatErrorText(uint32_t error, std::string* text) {
  // Inserts are left as they stand: no arguments are passed, and a system
  // text with %1 must not make the call read arguments that do not exist.
  char* buffer = nullptr;
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0x400, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  if (n == 0 || buffer == nullptr) return false;
  if (text != nullptr) text->assign(buffer, n);
  ::LocalFree(buffer);
  return true;
}

uint32_t FileSystem::GetFileVersionInfoSize(const std::string& path) {
  DWORD unused = 0;
  return ::GetFileVersionInfoSizeA(path.c_str(), &unused);
}

bool FileSystem::GetFileVersionInfo(const std::string& path, std::vector<uint8_t>* block) {
  DWORD unused = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &unused);
  if (size == 0) return false;
  std::vector<uint8_t> data(size, 0);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return false;
  if (block != nullptr) *block = std::move(data);
  return true;
}

bool FileSystem::VerQueryValue(const std::vector<uint8_t>& block, const std::string& subBlock,
                               std::vector<uint8_t>* value) {
  if (block.empty()) return false;
  // The "A" query converts texts in place inside the block, so it works on a
  // copy the caller does not see.
  std::vector<uint8_t> copy(block);
  void* data = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(copy.data(), subBlock.c_str(), &data, &length) || data == nullptr)
    return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  size_t count = length;
  bool isText = subBlock.size() >= 15 && _strnicmp(subBlock.c_str(), "\\StringFileInfo", 15) == 0;
  if (isText) count = strnlen(static_cast<const char*>(data), length);
  // The value must lie inside the block; anything else is a malformed block.
  const uint8_t* begin = copy.data();
  if (bytes < begin || bytes + count > begin + copy.size()) return false;
  if (value != nullptr) value->assign(bytes, bytes + count);
  return true;
}

}  // namespace win32
}  // namespace svp
