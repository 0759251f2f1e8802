#include "registry/cleanup.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kit/kit.h"
#include "macros/macros.h"
#include "platform/platform.h"
#include "textedit/textfile.h"
#include "registry/reghelpers.h"

namespace {

constexpr char kNetworkCardsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr char kEnvironmentKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr char kConfigurationKey[] =
    "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";
constexpr char kProtocolAddressMark[] = "AA000400";

// Line marks of AUTOEXEC.NT: the protocol's 16-bit driver and the product's
// variable, each in the two spellings the installer wrote.
const char* const kAutoexecMarks[] = {"tnp16", "TNP16", "KSTA", "ksta"};

// Lines are read in pieces of at most this many characters.
constexpr size_t kLinePiece = 259;

bool StartsWithNoCase(const uint8_t* data, uint32_t size, const char* prefix) {
  const size_t length = std::strlen(prefix);
  if (size < length) return false;
  for (size_t i = 0; i < length; ++i) {
    char c = static_cast<char>(data[i]);
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

bool HasMark(const std::string& line) {
  for (const char* mark : kAutoexecMarks)
    if (line.find(mark) != std::string::npos) return true;
  return false;
}

// Lines with a mark are dropped wherever they stand.  Unmarked lines after
// the first marked one are kept: they are the user's own configuration
// (added after the product's lines), and dropping them would lose it.
// A long line arrives in pieces, each judged by itself.  When a piece was
// written and the piece that ends its line is dropped, the line end is
// still written: otherwise the user's next line would be glued to it.
// False when a write failed.
bool CopyUserLines(CSvTextFile& from, CSvTextFile& to) {
  std::string piece;
  bool lineOpen = false;
  bool written = true;
  while (from.Gets(&piece, kLinePiece)) {
    const bool endsLine = !piece.empty() && piece.back() == '\n';
    if (!HasMark(piece)) {
      written = to.Puts(piece) && written;
      lineOpen = !endsLine;
    } else if (lineOpen && endsLine) {
      written = to.Puts("\n") && written;
      lineOpen = false;
    }
  }
  return written;
}

// Writes the cleaned lines beside `file`, forces them to disk and renames
// them over it, so that a run cut short (power lost, process ended) leaves
// either the old file or the new one, never a part: the next run would
// back up a part and lose the rest.  False, with nothing put in place, when
// the file is one an in-place rewrite would refuse too (read-only, hidden or
// system) or the new file cannot be written or renamed.
bool ReplaceThroughTemporary(CSvTextFile& from, const std::string& file,
                             const std::string& temporary) {
  svp::IFileSystem& fs = svp::Fs();
  const uint32_t attributes = fs.GetFileAttributes(file);
  if (attributes == svp::kInvalidAttributes ||
      (attributes & (svp::kAttrReadOnly | svp::kAttrHidden | svp::kAttrSystem)) != 0)
    return false;
  CSvTextFile to;
  if (to.Open(temporary, "w+t") != 0) return false;
  const bool written = CopyUserLines(from, to) && to.Flush();
  to.Close();
  if (written && fs.MoveFileEx(temporary, &file, svp::kMoveReplaceExisting)) return true;
  fs.DeleteFile(temporary);
  return false;
}

}  // namespace

const char kSvAutoexecBackup[] = "AUTOEXEC.SV";

void SvResetAdapterAddresses() {
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey cards = 0;
  if (reg.OpenKey(svp::kHKeyLocalMachine, kNetworkCardsKey, svp::kKeyRead, &cards) != 0) return;
  // Every adapter is visited: a fixed table of 40 would leave the addresses
  // of the later ones behind on a machine that has more.
  std::vector<std::string> parameterKeys;
  for (uint32_t index = 0;; ++index) {
    char name[200];
    uint32_t nameSize = sizeof(name);
    if (reg.EnumKey(cards, index, name, &nameSize) != 0) break;
    uint8_t service[200] = {};
    uint32_t size = sizeof(service) - 1;
    if (!SvRegQueryValue(std::string(kNetworkCardsKey) + "\\" + name, "ServiceName", service, &size))
      continue;
    parameterKeys.push_back(std::string(kServicesKey) +
                            std::string(reinterpret_cast<const char*>(service),
                                        strnlen(reinterpret_cast<const char*>(service), size)) +
                            "\\Parameters");
  }
  reg.CloseKey(cards);

  for (const std::string& parameters : parameterKeys) {
    uint8_t address[260];
    uint32_t size = sizeof(address);
    if (!SvRegQueryValue(parameters, "NetworkAddress", address, &size)) continue;
    if (!StartsWithNoCase(address, size, kProtocolAddressMark)) continue;
    svp::RegKey key = 0;
    if (reg.OpenKey(svp::kHKeyLocalMachine, parameters, svp::kKeyAllAccess, &key) != 0) continue;
    reg.DeleteValue(key, "NetworkAddress");
    reg.CloseKey(key);
  }
}

uint32_t SvCleanEnvironment(CSvKit* kit) {
  std::string directory;
  CSvMacroList* macros = kit != nullptr ? kit->GetMacroList() : nullptr;
  // An empty (or undefined) product directory names nothing to remove: the
  // list editor would otherwise cut the first entry it finds before a ";".
  if (macros == nullptr || macros->GetMacroValue("LDID_SV", directory) != kSvMacroOk ||
      directory.empty())
    return kSvEnvironmentCleaned;
  for (char& c : directory)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');

  if (SvRegEditList(kEnvironmentKey, "Path", directory, kSvListRemove) != kSvRegOk)
    return kSvEnvironmentFailed;
  svp::Sys().NotifyEnvironmentChange();
  if (SvRegEditList(kEnvironmentKey, "KSTA", directory, kSvListRemove) != kSvRegOk)
    return kSvEnvironmentFailed;
  return kSvEnvironmentCleaned;
}

uint32_t SvCleanAutoexec() {
  std::string system;
  svp::Sys().GetSystemDirectory(&system);
  const std::string file = system + "\\AUTOEXEC.NT";
  const std::string backup = system + "\\" + kSvAutoexecBackup;
  if (!svp::Fs().CopyFile(file, backup, false)) return kSvCleanupDone;

  // The backup is opened first: AUTOEXEC.NT is emptied only once its lines
  // can be read back, so a backup that cannot be opened leaves it whole.
  CSvTextFile from;
  if (from.Open(backup, "r+t") != 0) return kSvCleanupDone;
  if (ReplaceThroughTemporary(from, file, system + "\\AUTOEXEC.$$$")) return kSvCleanupDone;
  // Where the new file could not be put in place, AUTOEXEC.NT is rewritten
  // in place, as it always was.
  CSvTextFile to;
  if (!from.Rewind() || to.Open(file, "w+t") != 0) return kSvCleanupDone;
  CopyUserLines(from, to);
  return kSvCleanupDone;
}

uint32_t SvRemoveProductDirectories() {
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  if (reg.OpenKey(svp::kHKeyLocalMachine, kConfigurationKey, svp::kMaximumAllowed, &key) != 0)
    return kSvCleanupDone;
  char buffer[260] = {};
  uint32_t size = sizeof(buffer);
  uint32_t type = 0;
  const uint32_t status =
      reg.QueryValue(key, "LDID_SV", &type, reinterpret_cast<uint8_t*>(buffer), &size);
  reg.CloseKey(key);
  if (status != 0) return kSvCleanupDone;
  const std::string directory(buffer, strnlen(buffer, std::min<size_t>(size, sizeof(buffer))));
  // An empty value would name the root of the current drive.
  if (directory.empty()) return kSvCleanupDone;

  svp::IFileSystem& fs = svp::Fs();
  fs.RemoveDirectory(directory + "\\PROTOCOL\\TRELLNET");
  fs.RemoveDirectory(directory + "\\PROTOCOL");
  fs.RemoveDirectory(directory);
  // Whatever is still in it by the restart decides whether it goes then.
  fs.MoveFileEx(directory, nullptr, svp::kMoveDelayUntilReboot);
  return kSvCleanupDone;
}
