#include "log/format.h"

#include <cstdio>
#include <vector>

namespace {

std::string NumberText(const SvArg& arg, char conv, bool isLong) {
  if (arg.IsText()) return arg.Text();
  int64_t v = arg.Number();
  char buf[32];
  switch (conv) {
    case 'd':
    case 'i':
      if (isLong)
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
      else
        std::snprintf(buf, sizeof buf, "%d", static_cast<int>(static_cast<int32_t>(v)));
      break;
    case 'u':
      std::snprintf(buf, sizeof buf, "%llu",
                    static_cast<unsigned long long>(isLong ? static_cast<uint64_t>(v)
                                                           : static_cast<uint32_t>(v)));
      break;
    case 'x':
    case 'X':
      std::snprintf(buf, sizeof buf, conv == 'x' ? "%llx" : "%llX",
                    static_cast<unsigned long long>(isLong ? static_cast<uint64_t>(v)
                                                           : static_cast<uint32_t>(v)));
      break;
    case 'c':
      buf[0] = static_cast<char>(v);
      buf[1] = '\0';
      break;
    default:
      buf[0] = '\0';
  }
  return buf;
}

}  // namespace

std::string SvFormat(const std::string& fmt, std::initializer_list<SvArg> list) {
  std::vector<const SvArg*> args;
  for (const SvArg& a : list) args.push_back(&a);
  size_t next = 0;
  std::string out;
  out.reserve(fmt.size() + 64);
  for (size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (i + 1 >= fmt.size()) {
      out.push_back('%');
      break;
    }
    char n = fmt[i + 1];
    if (n == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    if (n >= '1' && n <= '9') {  // FormatMessage-style insert
      size_t idx = static_cast<size_t>(n - '1');
      if (idx < args.size()) out += args[idx]->IsText() ? args[idx]->Text() : NumberText(*args[idx], 'd', true);
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool left = false, zero = false;
    while (j < fmt.size() && (fmt[j] == '-' || fmt[j] == '0' || fmt[j] == '+' || fmt[j] == ' ' || fmt[j] == '#')) {
      if (fmt[j] == '-') left = true;
      if (fmt[j] == '0') zero = true;
      ++j;
    }
    size_t width = 0;
    while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9') width = width * 10 + static_cast<size_t>(fmt[j++] - '0');
    long precision = -1;
    if (j < fmt.size() && fmt[j] == '.') {
      ++j;
      precision = 0;
      while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9') precision = precision * 10 + (fmt[j++] - '0');
    }
    // "l" is 32 bits wide on this platform, as the texts expect; "ll" is 64.
    int longs = 0;
    while (j < fmt.size() && (fmt[j] == 'l' || fmt[j] == 'h')) {
      if (fmt[j] == 'l') ++longs;
      ++j;
    }
    const bool isLong = longs >= 2;
    if (j >= fmt.size()) {  // a dangling conversion is copied as written
      out.append(fmt, i, std::string::npos);
      break;
    }
    char conv = fmt[j];
    std::string piece;
    if (conv == 's' || conv == 'd' || conv == 'i' || conv == 'u' || conv == 'x' || conv == 'X' || conv == 'c') {
      if (next < args.size()) {
        const SvArg& a = *args[next++];
        if (conv == 's') {
          piece = a.IsText() ? a.Text() : NumberText(a, 'd', true);
          if (precision >= 0 && piece.size() > static_cast<size_t>(precision)) piece.resize(static_cast<size_t>(precision));
        } else {
          piece = NumberText(a, conv, isLong);
        }
      }
      if (piece.size() < width) {
        size_t pad = width - piece.size();
        if (left)
          piece.append(pad, ' ');
        else if (zero && conv != 's' && conv != 'c')
          piece.insert(piece[0] == '-' ? 1 : 0, pad, '0');
        else
          piece.insert(0, pad, ' ');
      }
      out += piece;
      i = j;
      continue;
    }
    // Unknown conversion: copy it literally.
    out.append(fmt, i, j - i + 1);
    i = j;
  }
  return out;
}
