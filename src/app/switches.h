// The run's command-line switches: known switches named by string-table
// texts, parsed once from the command line and queried by identifier.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/svobject.h"
// The switch identifiers (kSwNoNetCpl ...) are the string-table entries that
// hold the switch names.
#include "res/stringids.h"

class CSvSwitch : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvSwitch)
  // Loads the name from the string table; an absent entry leaves it empty.
  explicit CSvSwitch(uint32_t id);

  const std::string& GetName() const { return name_; }
  int GetMinLength() const { return minLength_; }
  void SetMinLength(int length) { minLength_ = length; }
  uint32_t GetId() const { return id_; }
  bool IsSet() const { return set_ != 0; }
  void Set(bool set) { set_ = set ? 1 : 0; }

 private:
  uint32_t set_ = 0;
  std::string name_;
  int32_t minLength_ = 0;
  uint32_t id_;
};

class CSvSwitchList : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvSwitchList)
  CSvSwitchList();
  ~CSvSwitchList() override;
  CSvSwitchList(const CSvSwitchList&) = delete;
  CSvSwitchList& operator=(const CSvSwitchList&) = delete;

  // False when the string table has no (or an empty) name for the id.
  bool AddSwitch(uint32_t id);
  // True when every token is a known switch; clears all flags first.
  bool ParseSwitches(const char* text, const char* delimiters);
  bool IsSwitchSet(uint32_t id) const;
  // First switch (registration order) the token abbreviates, marked set.
  CSvSwitch* MatchSwitch(const char* token);

  size_t GetCount() const { return switches_.size(); }
  const CSvSwitch* GetAt(size_t index) const {
    return index < switches_.size() ? switches_[index] : nullptr;
  }

 private:
  std::vector<CSvSwitch*> switches_;
  char buffer_[512 + 1] = {};  // 512 characters of command line
};
