// LoadKitData: finds, opens and reads KITPURGE.DAT into the kit model.
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/platform.h"
#include "textedit/textfile.h"
#include "res/stringids.h"
#include "textedit/textedit.h"
#include "textedit/texthelpers.h"

namespace {

enum : uint32_t {
  kKitLocationTemplate = 1540,
};

// A line is read as fgets with a 260-byte buffer would: longer lines come in
// pieces of 259 characters.
constexpr size_t kKitLinePiece = 259;
constexpr uint32_t kMaxPath = 260;

}  // namespace

// The record readers.  The field buffers live as long as the load, so a
// million lines cost no allocations beyond the records themselves.
class CSvKitReader {
 public:
  explicit CSvKitReader(CSvKit& kit) : kit_(kit), observer_(kit.observer_) {}

  // False when the line is a VERSION record that rejects the file.
  bool ReadLine(std::string& line, uint32_t number) {
    SvStripComment(line);
    SvTrim(line);
    if (line.empty()) return true;
    SvNextToken(line, ",", keyword_);
    SvTrim(keyword_);
    line_ = number;
    if (observer_ != nullptr) present_ = line.empty() ? 0 : 1 + CountCommas(line);
    if (keyword_ == "COPY") {
      Told(7, ReadCopy(line));
    } else if (keyword_ == "DELETE") {
      Told(5, ReadDelete(line));
    } else if (keyword_ == "SHORTCUT") {
      Told(8, ReadShortcut(line));
    } else if (keyword_ == "NETCPL") {
      Told(5, ReadNetCpl(line));
    } else if (keyword_ == "TRANSPORT") {
      Told(10, ReadTransport(line));
    } else if (keyword_ == "TEXTEDIT") {
      Told(4, ReadTextEdit(line));
    } else if (keyword_ == "VERSION") {
      return Told(1, ReadVersion(line));
    } else if (observer_ != nullptr) {
      observer_->OnUnknownKeyword(line_, keyword_);
    }
    return true;
  }

 private:
  static int CountCommas(const std::string& text) {
    int commas = 0;
    for (char c : text) commas += c == ',';
    return commas;
  }
  bool Told(int count, bool kept) {
    if (observer_ != nullptr)
      observer_->OnRecord(line_, keyword_, f_, count, present_, !kept);
    return kept;
  }
  void Fields(std::string& rest, int count) {
    for (int i = 0; i < count; ++i) SvNextToken(rest, ",", f_[i]);
  }
  void Trim(int count) {
    for (int i = 0; i < count; ++i) SvTrim(f_[i]);
  }

  bool ReadCopy(std::string& rest) {
    Fields(rest, 7);
    Trim(5);
    const uint32_t flags = SvParseNumber(f_[5]);
    const uint32_t size = SvParseNumber(f_[6]);
    if (f_[4].empty() || f_[3].empty() || f_[1].empty() || f_[2].empty()) return false;
    CSvGroup* group = kit_.FindOrAddGroup(f_[4]);
    CSvLocation* dest = kit_.FindOrAddLocation(f_[3]);
    CSvLocation* source = kit_.FindOrAddLocation(f_[2]);
    group->AppendFile(new CSvFile(f_[0], f_[1], source, dest, group, flags, size));
    return true;
  }

  bool ReadDelete(std::string& rest) {
    Fields(rest, 5);
    Trim(3);
    const uint32_t flags = SvParseNumber(f_[3]);
    // Field 5 is a number nobody reads.
    CSvGroup* group = kit_.FindOrAddGroup(f_[2]);  // even for a line dropped below
    if (f_[1].empty() || f_[0].empty()) return false;
    CSvLocation* location = kit_.FindOrAddLocation(f_[1]);
    group->PrependFile(new CSvFile(f_[0], empty_, location, nullptr, group, flags, 0));
    return true;
  }

  bool ReadShortcut(std::string& rest) {
    Fields(rest, 8);
    kit_.AddShortcut(new CSvShortcut(f_));
    return true;
  }

  bool ReadNetCpl(std::string& rest) {
    Fields(rest, 5);
    kit_.netComponents_.push_back(
        new CSvNetComponent(f_[0], f_[1], f_[2], f_[3], SvParseNumber(f_[4])));
    return true;
  }

  bool ReadTransport(std::string& rest) {
    Fields(rest, 10);
    if (SvEqualNoCase(f_[1], "svprint.dll") && IsServerProduct()) f_[7] = "TRUE";
    kit_.AddTransport(new CSvComponent(f_));
    return true;
  }

  bool ReadTextEdit(std::string& rest) {
    Fields(rest, 4);
    kit_.textEdits_.push_back(
        new CSvTextEdit(kit_.macros_, f_[0], f_[1], f_[2], SvParseNumber(f_[3])));
    return true;
  }

  bool ReadVersion(std::string& rest) {
    Fields(rest, 1);
    kit_.version_ = 0;
    kit_.version_ = SvParseNumber(f_[0]);
    return kit_.version_ >= kSvKitMinimumVersion;
  }

  CSvKit& kit_;
  CSvKitLoadObserver* observer_;
  uint32_t line_ = 0;
  int present_ = 0;
  std::string keyword_;
  std::string f_[10];
  const std::string empty_;
};

void CSvKit::FormKitPath(const std::string& directory, const std::string& fileName,
                         std::string& path) {
  std::string full;
  const uint32_t length = svp::Fs().GetFullPathName(directory, kMaxPath, &full);
  if (length != 0 && length < kMaxPath) {
    kitDirectory_ = full;
    SvAppendCharIfMissing(kitDirectory_, '\\');
  }
  path = kitDirectory_ + fileName;
}

uint32_t CSvKit::LoadKitData(const char* directory, const char* fileName) {
  // An empty name cannot name a file either; asking the user to browse for
  // it would lead nowhere.
  if (fileName == nullptr || *fileName == '\0') return kSvKitNoFileName;
  const std::string name = fileName;
  std::string path;
  FormKitPath(directory != nullptr ? directory : "", name, path);

  CSvTextFile file;
  for (;;) {
    const uint32_t error = file.Open(path, "rt");
    if (error == 0) break;
    SvLogMessage(kIdsKitOpenFailed, path, error);
    if (SvMessageBox(kIdsKitBrowse, kSvBoxOkCancel | kSvBoxIconExclamation, path) !=
        kSvAnswerOk) {
      return kSvKitGaveUp;
    }
    // The plain file-open dialog: the user picks any file beside the kit.
    // The template number is handed over; the platform decides whether its
    // dialog uses it.
    svp::OpenFileRequest request;
    request.flags = svp::kOfnHideReadOnly;
    request.templateId = kKitLocationTemplate;
    request.owned = true;
    std::string chosen;
    if (!svp::Ui().GetOpenFileName(request, &chosen)) return kSvKitGaveUp;
    const size_t slash = chosen.rfind('\\');
    if (slash != std::string::npos) chosen.resize(slash);
    if (!chosen.empty() && chosen.back() == ':') chosen.push_back('\\');
    FormKitPath(chosen, name, path);
  }

  svp::Ui().PumpMessages();
  SvRemoveTrailingChar(kitDirectory_, '\\');
  if (macros_ != nullptr) macros_->AddMacro("LDID_KITROOT", kitDirectory_.c_str(), 1);

  svp::Ui().BeginWaitCursor();
  CSvKitReader reader(*this);
  std::string line;
  line.reserve(kKitLinePiece + 1);
  // Line numbers and long lines matter only to an observer.
  uint32_t number = 1;
  size_t longLength = 0;
  while (file.Gets(&line, kKitLinePiece)) {
    const uint32_t lineNumber = number;
    if (observer_ != nullptr) {
      const bool ended = !line.empty() && line.back() == '\n';
      if (!ended && line.size() == kKitLinePiece) {
        longLength += line.size();
      } else {
        if (longLength != 0) observer_->OnLongLine(number, longLength + line.size() - ended);
        longLength = 0;
        ++number;
      }
    }
    if (!reader.ReadLine(line, lineNumber)) {
      SvLogMessageBox(kIdsKitTooOld, kSvBoxIconExclamation, path);
      svp::Ui().EndWaitCursor();
      file.Close();
      return kSvKitVersionTooOld;
    }
  }
  svp::Ui().EndWaitCursor();
  file.Close();
  return kSvKitOk;
}
