#include "plan/kitlint.h"

#include <algorithm>
#include <cstdio>

#include "app/uninstall.h"
#include "macros/macros.h"
#include "textedit/textfile.h"
#include "textedit/texthelpers.h"

namespace {

const char kGroupCopied[] = "_GROUP_COPIED";
// The uninstall selects this group and no other.
const char kRequiredGroup[] = "_REQUIRED";
constexpr size_t kLinePiece = 259;

bool Contains(const char* const* begin, const char* const* end, const std::string& name) {
  return std::find_if(begin, end, [&](const char* n) { return name == n; }) != end;
}

bool IsProgramDirectory(const std::string& name) {
  return Contains(std::begin(kSvStandardDirectories), std::end(kSvStandardDirectories), name) ||
         Contains(std::begin(kSvRunDirectories), std::end(kSvRunDirectories), name);
}

bool IsProgramOption(const std::string& name) {
  return name == kSvStartNetwork ||
         std::any_of(std::begin(kSvDefaultOptions), std::end(kSvDefaultOptions),
                     [&](const SvDefaultMacro& m) { return name == m.name; });
}

std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%X", value);
  return text;
}

// The loader's boxes (a version too old) would stop a tool that only reads the
// kit; the finding says it instead.
class QuietUserInterface : public svp::IUserInterface {
 public:
  int MessageBox(const std::string&, const std::string&, uint32_t type, bool) override {
    return (type & 0xF) == svp::kMbOkCancel ? svp::kIdCancel : svp::kIdOk;
  }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  bool GetOpenFileName(const svp::OpenFileRequest&, std::string*) override { return false; }
  void PumpMessages() override {}
};

}  // namespace

void CSvKitLint::Add(uint32_t line, bool error, const std::string& text) {
  findings_.push_back({line, error, text});
}

void CSvKitLint::OnLongLine(uint32_t line, size_t length) {
  if (length <= kLinePiece) return;
  const size_t pieces = (length + kLinePiece - 1) / kLinePiece;
  Add(line, true,
      "line of " + std::to_string(length) + " characters is read as " + std::to_string(pieces) +
          " lines of at most 259");
}

void CSvKitLint::OnUnknownKeyword(uint32_t line, const std::string& keyword) {
  std::string upper = keyword;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  static const char* const kKeywords[] = {"COPY",     "DELETE",   "SHORTCUT", "NETCPL",
                                          "TRANSPORT", "TEXTEDIT", "VERSION"};
  if (Contains(std::begin(kKeywords), std::end(kKeywords), upper)) {
    Add(line, true, "keyword \"" + keyword + "\" is not upper case: the line is ignored");
  } else {
    Add(line, false, "unknown keyword \"" + keyword + "\": the line is ignored");
  }
}

void CSvKitLint::CheckPathMacros(uint32_t line, const std::string& field) {
  for (size_t open = field.find('{'); open != std::string::npos;
       open = field.find('{', open + 1)) {
    const size_t close = field.find('}', open);
    if (close == std::string::npos) {
      Add(line, true, "\"{\" without \"}\" in \"" + field + "\"");
      return;
    }
    const std::string name = field.substr(open + 1, close - open - 1);
    if (!IsProgramDirectory(name))
      Add(line, true, "macro {" + name + "} is defined by no table of the program");
  }
}

void CSvKitLint::CheckCondition(uint32_t line, const std::string& field) {
  std::string name = field[0] == '!' ? field.substr(1) : field;
  if (!name.empty()) conditions_.emplace(name, line);
}

void CSvKitLint::OnRecord(uint32_t line, const std::string& keyword, const std::string* f,
                          int count, int present, bool dropped) {
  if (keyword == "VERSION") {
    if (dropped)
      Add(line, true,
          "VERSION " + Hex(SvParseNumber(f[0])) + " is older than " +
              Hex(kSvKitMinimumVersion) + ": loading stops at this line");
    return;
  }
  if (dropped) {
    // The fields each record cannot do without, in the reader's order.
    static const char* const kCopyFields[] = {nullptr, "destination file name",
                                              "source directory", "destination directory",
                                              "group name"};
    std::string missing;
    if (keyword == "COPY") {
      for (int i = 1; i <= 4 && missing.empty(); ++i)
        if (f[i].empty()) missing = kCopyFields[i];
    } else {
      missing = f[0].empty() ? "file name" : "directory";
    }
    Add(line, true, keyword + " record dropped: its " + missing + " is empty");
  } else if (present < count) {
    Add(line, false,
        keyword + " record has " + std::to_string(present) + " of its " + std::to_string(count) +
            " fields; the others read as empty");
  }
  // A DELETE creates its group even when the line is dropped.
  if (keyword == "COPY" || keyword == "DELETE") {
    const std::string& group = keyword == "COPY" ? f[4] : f[2];
    if (keyword == "DELETE" || !dropped) {
      auto& entry = groups_.emplace(group, std::make_pair(line, 0)).first->second;
      if (!dropped) ++entry.second;
    }
  }
  if (dropped) return;

  std::string record = keyword;
  for (int i = 0; i < count; ++i) record += "," + f[i];
  auto first = records_.emplace(record, line);
  if (!first.second)
    Add(line, false, "duplicate of the " + keyword + " record of line " +
                         std::to_string(first.first->second));

  if (keyword == "COPY") {
    CheckPathMacros(line, f[2]);
    CheckPathMacros(line, f[3]);
  } else if (keyword == "DELETE") {
    CheckPathMacros(line, f[1]);
  } else if (keyword == "TEXTEDIT") {
    CheckPathMacros(line, f[1]);
    CheckCondition(line, f[0]);
  } else if (keyword == "SHORTCUT") {
    CheckCondition(line, f[0]);
  } else if (keyword == "NETCPL") {
    CheckCondition(line, f[3]);
  }
}

void CSvKitLint::CheckAfterLoad() {
  for (const auto& group : groups_) {
    if (group.first == kRequiredGroup) continue;
    Add(group.second.first, false,
        "group \"" + group.first + "\" is never selected by the uninstall: its " +
            std::to_string(group.second.second) + " file record(s) do nothing");
  }
  for (const auto& condition : conditions_) {
    const std::string& name = condition.first;
    if (IsProgramOption(name)) continue;
    const size_t suffix = name.size() > sizeof kGroupCopied - 1
                              ? name.size() - (sizeof kGroupCopied - 1)
                              : std::string::npos;
    if (suffix != std::string::npos && name.compare(suffix, std::string::npos, kGroupCopied) == 0) {
      const std::string group = name.substr(0, suffix);
      if (groups_.count(group) == 0)
        Add(condition.second, false,
            "condition " + name + " names group \"" + group + "\", which no record creates");
      continue;
    }
    Add(condition.second, false,
        "condition macro " + name +
            " is defined by no table of the program: it is false unless the product's "
            "configuration key holds it");
  }
}

int CSvKitLint::Check(const std::string& path) {
  path_ = path;
  findings_.clear();
  records_.clear();
  groups_.clear();
  conditions_.clear();

  // Opened here first: the loader would ask the user to browse instead.
  CSvTextFile probe;
  if (const uint32_t error = probe.Open(path, "rt")) {
    Add(0, true, "cannot be opened (error " + std::to_string(error) + ")");
    return kSvLintErrors;
  }
  probe.Close();

  const size_t slash = path.find_last_of("\\/");
  const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // A private table: the persistent macros of this workstation are no concern.
  CSvMacroList macros(svp::kHKeyLocalMachine, "");
  CSvKit kit(nullptr, &macros, nullptr);
  kit.SetLoadObserver(this);
  QuietUserInterface quiet;
  svp::Platform platform = svp::Get();
  platform.ui = &quiet;
  uint32_t result;
  {
    const svp::ScopedPlatform quietly(platform);
    result = kit.LoadKitData(directory.c_str(), name.c_str());
  }
  if (result != kSvKitOk && result != kSvKitVersionTooOld)
    Add(0, true, "not read (loader result " + std::to_string(result) + ")");
  CheckAfterLoad();

  std::stable_sort(findings_.begin(), findings_.end(),
                   [](const CSvLintFinding& a, const CSvLintFinding& b) { return a.line < b.line; });
  bool warnings = false;
  for (const auto& finding : findings_) {
    if (finding.error) return kSvLintErrors;
    warnings = true;
  }
  return warnings ? kSvLintWarnings : kSvLintClean;
}

std::string CSvKitLint::Report() const {
  std::string out;
  int errors = 0;
  for (const auto& finding : findings_) {
    errors += finding.error;
    out += path_;
    if (finding.line != 0) out += "(" + std::to_string(finding.line) + ")";
    out += finding.error ? ": error: " : ": warning: ";
    out += finding.text + "\n";
  }
  out += std::to_string(errors) + " error(s), " + std::to_string(findings_.size() - errors) +
         " warning(s)\n";
  return out;
}
