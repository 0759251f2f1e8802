// <windows.h> for code that also uses the platform interfaces.
//
// <windows.h> maps names such as CreateFile, DeleteFile or LoadString to their
// "A" or "W" forms; the interfaces use the plain names, so the mappings are
// undone here: include this header before any other, and name the "A"
// functions (CreateFileA, MessageBoxA, ...) explicitly.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>
#include <winnetwk.h>
#include <winver.h>

#undef CreateFile
#undef DeleteFile
#undef MoveFileEx
#undef CopyFile
#undef CreateDirectory
#undef RemoveDirectory
#undef GetFileAttributes
#undef SetFileAttributes
#undef GetDiskFreeSpace
#undef GetFullPathName
#undef GetShortPathName
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetModuleFileName
#undef GetFileVersionInfoSize
#undef GetFileVersionInfo
#undef VerQueryValue
#undef GetVersionEx
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef GetEnvironmentVariable
#undef WNetGetConnection
#undef LoadString
#undef MessageBox
#undef GetOpenFileName
#undef LoadBitmap
#undef IsDialogMessage

#include "platform/platform.h"
