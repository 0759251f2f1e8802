// The kit model: what the installed product consists of, as KITPURGE.DAT
// describes it, and the selection of file groups for the removal phases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/svobject.h"

class CSvWizard;
class CSvFinishStatusPage;
class CSvMacroList;
class CSvSwitchList;
class CSvTextEdit;
class CSvKit;
class CSvGroup;
class CSvFile;

// Result codes of the kit's operations.
enum : uint32_t {
  kSvKitOk = 0,
  kSvKitVersionTooOld = 1,
  kSvKitAlreadyPresent = 4,
  kSvKitNotFound = 5,
  kSvKitNoFileName = 6,
  kSvKitGaveUp = 8,
};

// The oldest acceptable VERSION record.
constexpr uint32_t kSvKitMinimumVersion = 16777288u;  // 0x1000048

// True on a server edition of Windows NT (ProductType ServerNT or LanmanNT).
bool IsServerProduct();

// ---------------------------------------------------------------------------
// One directory text of the kit data file.
class CSvLocation : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvLocation)
  explicit CSvLocation(const std::string& path);

  const std::string& GetPath() const { return path_; }
  uint32_t GetBytes() const { return bytes_; }
  uint32_t GetFileCount() const { return fileCount_; }
  bool HasFiles() const { return fileCount_ > 0; }

  // Expands the macro references of the path in place; 0 without a table.
  int ExpandPath(const CSvMacroList* macros);
  // \\server\share\rest becomes X:\rest when drive X is connected to the
  // share; 0 when no drive is, 1 otherwise.
  int MapUncPath();
  int SetPath(const std::string& path);

  void AddFile(const CSvFile* file);
  void RemoveFile(const CSvFile* file);

 private:
  std::string path_;
  uint32_t bytes_ = 0;
  uint32_t fileCount_ = 0;
};

// ---------------------------------------------------------------------------
// One COPY or DELETE record.  Files are linked into their group's list and,
// while selected, into the kit's selected-files list, through links of their
// own, and a destination name equal to the source name is not stored twice:
// a kit of a million records then costs one small allocation per record.
class CSvFile : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvFile)
  CSvFile(const std::string& sourceName, const std::string& destName, CSvLocation* sourceLocation,
          CSvLocation* destLocation, CSvGroup* group, uint32_t copyFlags, uint32_t size);
  ~CSvFile() override;
  CSvFile(const CSvFile&) = delete;
  CSvFile& operator=(const CSvFile&) = delete;

  const std::string& GetSourceName() const { return sourceName_; }
  const std::string& GetDestName() const { return destName_ != nullptr ? *destName_ : Empty(); }
  CSvLocation* GetSourceLocation() const { return sourceLocation_; }
  CSvLocation* GetDestLocation() const { return destLocation_; }
  CSvGroup* GetGroup() const { return group_; }
  uint32_t GetCopyFlags() const { return copyFlags_; }
  uint32_t GetSize() const { return size_; }
  uint32_t GetSelectionCount() const { return selectionCount_; }
  bool IsSelected() const { return selectionCount_ > 0; }

  void AddRef() { ++selectionCount_; }
  void Release() {
    if (selectionCount_ > 0) --selectionCount_;
  }

 private:
  friend class CSvGroup;
  friend class CSvKit;
  friend class CSvFileIterator;
  static const std::string& Empty();

  std::string sourceName_;
  // Null: no destination name; &sourceName_: the same name; else owned.
  const std::string* destName_;
  CSvLocation* sourceLocation_;
  CSvLocation* destLocation_;
  CSvGroup* group_;
  CSvFile* groupNext_ = nullptr;
  CSvFile* selectedPrev_ = nullptr;
  CSvFile* selectedNext_ = nullptr;
  uint32_t copyFlags_;
  uint32_t size_;
  uint32_t selectionCount_ = 0;
  bool listed_ = false;  // in the kit's selected-files list
};

// Walks a group's files or the selected files, yielding CSvFile*.
class CSvFileIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = CSvFile*;
  using difference_type = std::ptrdiff_t;
  using pointer = CSvFile* const*;
  using reference = CSvFile*;

  CSvFileIterator(CSvFile* file, bool selectedChain) : file_(file), selected_(selectedChain) {}
  CSvFile* operator*() const { return file_; }
  CSvFileIterator& operator++() {
    file_ = selected_ ? file_->selectedNext_ : file_->groupNext_;
    return *this;
  }
  CSvFileIterator operator++(int) {
    CSvFileIterator old = *this;
    ++*this;
    return old;
  }
  bool operator==(const CSvFileIterator& other) const { return file_ == other.file_; }
  bool operator!=(const CSvFileIterator& other) const { return file_ != other.file_; }

 private:
  CSvFile* file_;
  bool selected_;
};

class CSvFileRange {
 public:
  CSvFileRange(CSvFile* head, size_t count, bool selectedChain)
      : head_(head), count_(count), selected_(selectedChain) {}
  CSvFileIterator begin() const { return CSvFileIterator(head_, selected_); }
  CSvFileIterator end() const { return CSvFileIterator(nullptr, selected_); }
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }

 private:
  CSvFile* head_;
  size_t count_;
  bool selected_;
};

// ---------------------------------------------------------------------------
// A file group: owns its files, DELETE records first (reverse file order),
// then COPY records (file order).
class CSvGroup : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvGroup)
  explicit CSvGroup(const std::string& name);
  ~CSvGroup() override;
  CSvGroup(const CSvGroup&) = delete;
  CSvGroup& operator=(const CSvGroup&) = delete;

  const std::string& GetName() const { return name_; }
  uint32_t GetSelectionCount() const { return selectionCount_; }
  void AddRef() { ++selectionCount_; }
  void Release() {
    if (selectionCount_ > 0) --selectionCount_;
  }

  // The files in list order.
  CSvFileIterator begin() const { return CSvFileIterator(head_, false); }
  CSvFileIterator end() const { return CSvFileIterator(nullptr, false); }
  size_t GetFileCount() const { return count_; }
  template <class F>
  void ForEachFile(F f) const {
    for (CSvFile* file = head_; file != nullptr;) {
      CSvFile* next = file->groupNext_;
      f(file);
      file = next;
    }
  }

  // The group takes ownership.
  void AppendFile(CSvFile* file);
  void PrependFile(CSvFile* file);

 private:
  std::string name_;
  CSvFile* head_ = nullptr;
  CSvFile* tail_ = nullptr;
  size_t count_ = 0;
  uint32_t selectionCount_ = 0;
};

// ---------------------------------------------------------------------------
class CSvShortcut : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvShortcut)
  // fields[0..7] are the record's fields 1 to 8.
  explicit CSvShortcut(const std::string* fields);

  const std::string& GetCondition() const { return fields_[0]; }
  const std::string& GetKey() const { return fields_[1]; }
  const std::string& GetFolder() const { return fields_[2]; }
  const std::string& GetLinkName() const { return fields_[3]; }
  const std::string& GetKeep() const { return fields_[4]; }
  // Record field 1 to 8; empty for any other number.
  const std::string& GetField(int field) const;

 private:
  std::string fields_[8];
};

class CSvNetComponent : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvNetComponent)
  CSvNetComponent(const std::string& option, const std::string& infFile,
                  const std::string& displayName, const std::string& condition, uint32_t flags);

  const std::string& GetOption() const { return option_; }
  const std::string& GetInfFile() const { return infFile_; }
  const std::string& GetDisplayName() const { return displayName_; }
  const std::string& GetCondition() const { return condition_; }
  uint32_t GetFlags() const { return flags_; }

 private:
  std::string option_;
  std::string infFile_;
  std::string displayName_;
  std::string condition_;
  uint32_t flags_;
};

// A TRANSPORT record: its fields 1, 2, 3 and 5 to 10.
class CSvComponent : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvComponent)
  // fields[0..9] are the record's fields 1 to 10; field 4 is not kept.
  explicit CSvComponent(const std::string* fields);
  // Record field 1, 2, 3 or 5 to 10; empty for any other number.
  const std::string& GetField(int field) const;

 private:
  std::string fields_[9];
};

// ---------------------------------------------------------------------------
// Told what the loader makes of each line of the kit file, for tools that
// check a kit (the uninstall installs none).  Line numbers count the file's
// lines from 1.
class CSvKitLoadObserver {
 public:
  virtual ~CSvKitLoadObserver() = default;
  // A line longer than the loader reads at once: its pieces were parsed as
  // lines of their own.
  virtual void OnLongLine(uint32_t line, size_t length) = 0;
  virtual void OnUnknownKeyword(uint32_t line, const std::string& keyword) = 0;
  // A record as its reader took it: the `count` fields after the keyword
  // (stripped where the reader strips them), how many the line actually
  // held, and whether the reader dropped it (a rejected VERSION included).
  virtual void OnRecord(uint32_t line, const std::string& keyword, const std::string* fields,
                        int count, int present, bool dropped) = 0;
};

// ---------------------------------------------------------------------------
class CSvKit : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvKit)
  CSvKit(CSvWizard* wizard, CSvMacroList* macros, const CSvSwitchList* switches);
  ~CSvKit() override;
  CSvKit(const CSvKit&) = delete;
  CSvKit& operator=(const CSvKit&) = delete;

  // Reads directory\fileName: Ok, VersionTooOld, NoFileName or GaveUp (not
  // opened).
  uint32_t LoadKitData(const char* directory, const char* fileName);
  // Not owned; null (the default) tells nobody.
  void SetLoadObserver(CSvKitLoadObserver* observer) { observer_ = observer; }

  uint32_t SelectGroup(const std::string& name);    // Ok / NotFound
  uint32_t DeselectGroup(const std::string& name);  // Ok / NotFound
  uint32_t AddSelectedFile(CSvFile* file);          // Ok / AlreadyPresent / NotFound
  uint32_t RemoveSelectedFile(CSvFile* file);       // Ok / NotFound

  // The text-edit phase; always Ok.  The page is not used.
  uint32_t ProcessTextEdits(CSvFinishStatusPage* page);

  CSvMacroList* GetMacroList() const { return macros_; }
  const CSvSwitchList* GetSwitchList() const { return switches_; }
  CSvWizard* GetWizard() const { return wizard_; }

  void SetCancelled() { cancelled_ = true; }
  bool IsCancelled() const { return cancelled_; }
  uint32_t GetVersion() const { return version_; }
  uint32_t GetBytesRequired() const { return bytesRequired_; }
  void SetBytesRequired(uint32_t bytes) { bytesRequired_ = bytes; }
  const std::string& GetKitDirectory() const { return kitDirectory_; }

  // Containers, in the orders the removal phases rely on.  Locations and
  // groups come in the order of their first appearance in the file.
  const std::vector<CSvLocation*>& Locations() const { return locations_; }
  const std::vector<CSvGroup*>& Groups() const { return groups_; }
  CSvFileRange SelectedFiles() const { return CSvFileRange(selectedHead_, selectedCount_, true); }
  const std::list<CSvShortcut*>& Shortcuts() const { return shortcuts_; }
  const std::vector<CSvNetComponent*>& NetComponents() const { return netComponents_; }
  const std::vector<CSvTextEdit*>& TextEdits() const { return textEdits_; }
  const std::list<CSvComponent*>& TransportComponents() const { return transports_; }

  CSvGroup* FindGroup(const std::string& name) const;
  CSvLocation* FindLocation(const std::string& path) const;

 private:
  friend class CSvKitReader;

  uint32_t ChangeGroupSelection(const std::string& name, bool select);
  CSvGroup* FindOrAddGroup(const std::string& name);
  CSvLocation* FindOrAddLocation(const std::string& path);
  void AddShortcut(CSvShortcut* shortcut);
  void AddTransport(CSvComponent* component);
  void FormKitPath(const std::string& directory, const std::string& fileName, std::string& path);

  CSvWizard* wizard_;
  CSvMacroList* macros_;
  const CSvSwitchList* switches_;

  uint32_t version_ = 0;
  std::vector<CSvLocation*> locations_;
  std::unordered_map<std::string, CSvLocation*> locationIndex_;
  std::vector<CSvGroup*> groups_;
  std::unordered_map<std::string, CSvGroup*> groupIndex_;
  std::vector<CSvNetComponent*> netComponents_;
  std::list<CSvShortcut*> shortcuts_;
  // Key -> the first shortcut of that key, where a new one is inserted.
  std::unordered_map<std::string, std::list<CSvShortcut*>::iterator> shortcutKeys_;
  std::vector<CSvTextEdit*> textEdits_;
  std::list<CSvComponent*> transports_;

  CSvFile* selectedHead_ = nullptr;
  CSvFile* selectedTail_ = nullptr;
  size_t selectedCount_ = 0;

  std::string kitDirectory_;
  bool cancelled_ = false;
  uint32_t bytesRequired_ = 0;
  CSvKitLoadObserver* observer_ = nullptr;
};
