// Small helpers shared by the parts of the simulated workstation.
#pragma once

#include <cctype>
#include <string>

namespace svp {

// Names on this system compare without regard to case (ASCII).
inline std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

inline bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Upper(a) == Upper(b);
}

}  // namespace svp
