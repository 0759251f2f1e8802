// Path tests, normalisation, creation and display.
#pragma once

#include <cstdint>
#include <string>

// Results of the path operations.
enum : uint32_t {
  kSvPathOk = 0,
  kSvPathNotFound = 3,
  kSvPathInaccessible = 5,  // empty, or there for some other reason unusable
  kSvPathBadName = 161,     // no component to create
};

bool SvIsUncPath(const char* path);    // begins with two backslashes
bool SvIsDriveRoot(const char* path);  // ends with ":\"
uint32_t SvCheckPath(const std::string& path);        // Ok (exists) / NotFound / Inaccessible
uint32_t SvCreateDirectory(const std::string& path);  // always Ok
uint32_t SvCreatePath(const std::string& path);       // Ok / BadName
// Identity conversions: paths are kept in the form they were given; always Ok.
uint32_t GetShortPath(const std::string& path, std::string& out);
uint32_t GetLongPath(const std::string& path, std::string& out);
// Length of the absolute path (out set when 1..259), 0 on failure.
uint32_t SvGetFullPath(std::string& out, const std::string& path);
// Absolute form of dir with a trailing backslash; nothing when dir or fileName is null.
void SvGetFullDirectory(const char* dir, std::string& out, const char* fileName);
// Replaces middle directories with "...\" to fit width characters.
void SvShortenPathForDisplay(const std::string& path, std::string& out, uint16_t width);
