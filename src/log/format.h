// printf-style formatting of string-table texts, without varargs: every
// argument carries its type, so a text whose conversions do not match its
// arguments yields a visible result instead of undefined behaviour.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

class SvArg {
 public:
  SvArg(const char* s) : isText_(true), text_(s ? s : "(null)") {}
  SvArg(const std::string& s) : isText_(true), text_(s) {}
  template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
  SvArg(T v) : isText_(false), number_(static_cast<int64_t>(v)) {}

  bool IsText() const { return isText_; }
  const std::string& Text() const { return text_; }
  int64_t Number() const { return number_; }

 private:
  bool isText_;
  std::string text_;
  int64_t number_ = 0;
};

// Formats fmt with the conversions %s %c %d %i %u %x %X (with flags "-" and
// "0", a width, a precision and the size prefixes l, ll, h), "%%", and the
// inserts %1 to %9 (the n-th argument as text).  A conversion without a
// matching argument is left out.
std::string SvFormat(const std::string& fmt, std::initializer_list<SvArg> args);
