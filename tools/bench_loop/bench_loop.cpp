// BENCHLOOP.EXE <list> <log>: the least an uninstaller can do for a list of
// files: delete each one and write one line per file to a log, forced to
// disk before the next file.  The benchmark's yardstick for KITPURGE.EXE.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  FILE* list = std::fopen(argv[1], "r");
  if (list == nullptr) return 1;
  HANDLE log = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 1;
  char path[MAX_PATH + 2];
  while (std::fgets(path, sizeof(path), list) != nullptr) {
    path[std::strcspn(path, "\r\n")] = '\0';
    if (path[0] == '\0') continue;
    DeleteFileA(path);
    const std::string line = std::string("SvDeleteFile: ") + path + "\r\n";
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(log);
  }
  CloseHandle(log);
  std::fclose(list);
  return 0;
}
