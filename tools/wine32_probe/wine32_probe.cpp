// PROBE32.EXE: what a 32-bit program of ours sees of the Windows it runs on.
// scripts/ensure-tools.sh runs it on an NT 4.0 prefix to decide whether
// 32-bit Wine works on this machine; "wine --version" does not tell, as it
// answers as soon as any i386 handler is registered.
#include <windows.h>

#include <cstdio>

int main() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExA(&version)) return 1;
  std::printf("pointer %u, Windows %lu.%lu build %lu, platform %lu, start-up record %u\n",
              static_cast<unsigned>(sizeof(void*)), version.dwMajorVersion,
              version.dwMinorVersion, version.dwBuildNumber & 0xFFFF, version.dwPlatformId,
              static_cast<unsigned>(sizeof(STARTUPINFOA)));
  return 0;
}
