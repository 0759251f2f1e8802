#include "textedit/texthelpers.h"

#include <cstring>

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Above every base, so it ends the number.
constexpr int kNotADigit = 99;

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return kNotADigit;
}

}  // namespace

const std::string& SvNextToken(std::string& source, const char* delimiters, std::string& output) {
  const char* set = delimiters != nullptr ? delimiters : "";
  // One delimiter (the usual case) is one memchr, not one per character.
  const size_t p = set[0] != '\0' && set[1] == '\0' ? source.find(set[0]) : source.find_first_of(set);
  // In place: a kit line costs no allocation per field.  When source and
  // output are one string, the rest after the delimiter is what remains.
  if (&source == &output) {
    if (p == std::string::npos) {
      source.clear();
    } else {
      source.erase(0, p + 1);
    }
    return output;
  }
  if (p == std::string::npos) {
    output.assign(source);
    source.clear();
  } else {
    output.assign(source, 0, p);
    source.erase(0, p + 1);
  }
  return output;
}

std::string& SvTrim(std::string& text) {
  const size_t lf = text.find('\n');
  if (lf != std::string::npos) text.resize(lf);
  size_t begin = 0;
  while (begin < text.size() && IsSpace(text[begin])) ++begin;
  size_t end = text.size();
  while (end > begin && IsSpace(text[end - 1])) --end;
  text.resize(end);
  text.erase(0, begin);
  return text;
}

std::string& SvStripComment(std::string& text) {
  const size_t semicolon = text.find(';');
  if (semicolon != std::string::npos) text.resize(semicolon);
  return text;
}

void SvRemoveTrailingChar(std::string& text, char c) {
  if (!text.empty() && text.back() == c) text.pop_back();
}

void SvAppendCharIfMissing(std::string& text, char c) {
  if (!text.empty() && text.back() != c) text.push_back(c);
}

uint32_t SvParseNumber(const std::string& text) {
  const char* p = text.c_str();
  while (IsSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  int base = 10;
  if (p[0] == '0') {
    // "0x" counts as a prefix only when a hex digit follows; otherwise the
    // 0 alone is the number.
    if ((p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) {
      base = 16;
      p += 2;
    } else {
      base = 8;
    }
  }
  uint64_t value = 0;
  bool overflow = false;
  bool any = false;
  for (; DigitValue(*p) < base; ++p) {
    any = true;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(*p));
    if (value > 0xFFFFFFFFull) {
      overflow = true;
      value = 0xFFFFFFFFull;
    }
  }
  if (!any) return 0;
  if (overflow) return 0xFFFFFFFFu;
  const uint32_t result = static_cast<uint32_t>(value);
  return negative ? static_cast<uint32_t>(0u - result) : result;
}

bool SvEqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}
