// String helpers shared by the kit loader, the path code and the text edits.
#pragma once

#include <cstdint>
#include <string>

// Moves the next token (up to the first delimiter) from source to output.
const std::string& SvNextToken(std::string& source, const char* delimiters, std::string& output);
// Cuts at the first line feed, then removes leading and trailing white space.
std::string& SvTrim(std::string& text);
// Cuts at the first ";".
std::string& SvStripComment(std::string& text);
// Removes one trailing c.
void SvRemoveTrailingChar(std::string& text, char c);
// Appends c unless the text is empty or already ends with it.
void SvAppendCharIfMissing(std::string& text, char c);
// strtoul base 0: 0x hex, leading 0 octal, stops at the first bad character,
// 0 for no digits, saturates at 4294967295.
uint32_t SvParseNumber(const std::string& text);
// ASCII case-insensitive equality.
bool SvEqualNoCase(const std::string& a, const std::string& b);
