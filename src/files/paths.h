// Path tests, normalisation, creation and display.
#pragma once

#include <cstdint>
#include <string>

bool SvIsUncPath(const char* path);    // begins with two backslashes
bool SvIsDriveRoot(const char* path);  // ends with ":\"
uint32_t SvCheckPath(const std::string& path);        // 0 exists / 3 not found / 5 other
uint32_t SvCreateDirectory(const std::string& path);  // always 0
uint32_t SvCreatePath(const std::string& path);       // 0 / 161
// Identity conversions: paths are kept in the form they were given.
uint32_t GetShortPath(const std::string& path, std::string& out);
uint32_t GetLongPath(const std::string& path, std::string& out);
// Length of the absolute path (out set when 1..259), 0 on failure.
uint32_t SvGetFullPath(std::string& out, const std::string& path);
// Absolute form of dir with a trailing backslash; nothing when dir or fileName is null.
void SvGetFullDirectory(const char* dir, std::string& out, const char* fileName);
// Replaces middle directories with "...\" to fit width characters.
void SvShortenPathForDisplay(const std::string& path, std::string& out, uint16_t width);
