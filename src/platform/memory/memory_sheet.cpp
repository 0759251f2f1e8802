#include "platform/memory/memory_sheet.h"

namespace svp {

MemorySheetHost::MemorySheetHost() = default;
MemorySheetHost::~MemorySheetHost() = default;

MemorySheetHost::PageEntry* MemorySheetHost::Entry(PageHandle page) {
  if (page == 0 || page > pages_.size()) return nullptr;
  return &pages_[page - 1];
}

MemorySheetHost::PageEntry* MemorySheetHost::EntryOfWindow(WindowHandle window) {
  for (PageEntry& entry : pages_)
    if (window != 0 && entry.window == window) return &entry;
  return nullptr;
}

MemorySheetHost::Window* MemorySheetHost::FindWindow(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowHandle MemorySheetHost::WindowOfTemplate(uint16_t templateId) const {
  if (templateId == 0) return sheet_;
  for (const PageEntry& entry : pages_)
    if (entry.record.templateId == templateId && entry.window != 0) return entry.window;
  return 0;
}

int MemorySheetHost::IndexOfTemplate(uint16_t templateId) const {
  for (size_t i = 0; i < sheetPages_.size(); ++i) {
    PageHandle h = sheetPages_[i];
    if (h != 0 && h <= pages_.size() && pages_[h - 1].record.templateId == templateId)
      return static_cast<int>(i);
  }
  return -1;
}

PageHandle MemorySheetHost::CreatePage(const SheetPageRecord& record) {
  if (record.page == nullptr) return 0;
  pages_.push_back({record, 0});
  return pages_.size();
}

WindowHandle MemorySheetHost::CreateSheet(const SheetHeader& header, ISheetFrame* frame) {
  headerSize_ = header.size;
  headerFlags_ = header.flags;
  // The control accepts only the record sizes it knows.
  if (failCreateSheet_ || sheet_ != 0 || (header.size != 52 && header.size != 40)) return 0;
  sheet_ = nextWindow_++;
  windows_[sheet_] = Window{};
  windows_[sheet_].controls[kIdcCancel] = Control{};
  frame_ = frame;
  sheetPages_.assign(header.pages, header.pages + header.pageCount);
  active_ = -1;
  ended_ = false;
  hidden_ = false;
  buttons_ = 0;
  if (frame_ != nullptr) frame_->SheetAttached(sheet_);
  if (header.startPage < sheetPages_.size()) SetCurSel(static_cast<int>(header.startPage));
  return sheet_;
}

void MemorySheetHost::ShowWindow(WindowHandle window, bool show) {
  if (window == sheet_ && sheet_ != 0) hidden_ = !show;
}

void MemorySheetHost::DestroyPageWindow(PageEntry* entry) {
  WindowHandle window = entry->window;
  entry->window = 0;
  windows_.erase(window);
  entry->record.page->PageWindowDestroyed();
}

void MemorySheetHost::DestroyWindow(WindowHandle window) {
  if (window == 0) return;
  if (window == sheet_) {
    for (PageHandle h : sheetPages_) {
      PageEntry* entry = Entry(h);
      if (entry != nullptr && entry->window != 0) DestroyPageWindow(entry);
    }
    windows_.erase(sheet_);
    sheet_ = 0;
    sheetPages_.clear();
    active_ = -1;
    ended_ = false;
    ISheetFrame* frame = frame_;
    frame_ = nullptr;
    if (frame != nullptr) frame->SheetDestroyed();
    return;
  }
  if (PageEntry* entry = EntryOfWindow(window)) DestroyPageWindow(entry);
}

void MemorySheetHost::AddPage(WindowHandle sheet, PageHandle page) {
  if (sheet == sheet_ && sheet_ != 0 && Entry(page) != nullptr) sheetPages_.push_back(page);
}

void MemorySheetHost::RemovePage(WindowHandle sheet, PageHandle page) {
  if (sheet != sheet_ || sheet_ == 0) return;
  for (size_t i = 0; i < sheetPages_.size(); ++i) {
    if (sheetPages_[i] != page) continue;
    PageEntry* entry = Entry(page);
    if (entry != nullptr && entry->window != 0) DestroyPageWindow(entry);
    sheetPages_.erase(sheetPages_.begin() + static_cast<long>(i));
    int index = static_cast<int>(i);
    if (active_ == index)
      active_ = -1;
    else if (active_ > index)
      --active_;
    return;
  }
}

intptr_t MemorySheetHost::Notify(size_t index, int code) {
  if (index >= sheetPages_.size()) return 0;
  PageEntry* entry = Entry(sheetPages_[index]);
  if (entry == nullptr || entry->window == 0) return 0;
  notifications_.push_back({entry->record.templateId, code});
  intptr_t result = entry->record.page->PageNotify(0, code);
  lastResults_[code] = result;
  return result;
}

bool MemorySheetHost::SetCurSel(int index) {
  if (index < 0 || static_cast<size_t>(index) >= sheetPages_.size()) return false;
  if (active_ >= 0 && Notify(static_cast<size_t>(active_), kPsnKillActive) != kPsnGoOn) return false;
  PageEntry* entry = Entry(sheetPages_[static_cast<size_t>(index)]);
  if (entry == nullptr) return false;
  if (entry->window == 0) {
    WindowHandle window = nextWindow_++;
    windows_[window].page = sheetPages_[static_cast<size_t>(index)];
    entry->window = window;
    entry->record.page->PageInitDialog(window);
  }
  active_ = index;
  activations_.push_back(entry->record.templateId);
  Notify(static_cast<size_t>(index), kPsnSetActive);
  return true;
}

bool MemorySheetHost::SetCurSelId(WindowHandle sheet, uint16_t templateId) {
  if (sheet != sheet_ || sheet_ == 0) return false;
  return SetCurSel(IndexOfTemplate(templateId));
}

void MemorySheetHost::DoNext() {
  if (active_ < 0 || ended_) return;
  intptr_t result = Notify(static_cast<size_t>(active_), kPsnWizNext);
  if (result == kPsnStay) return;
  int target = result == kPsnGoOn ? active_ + 1 : IndexOfTemplate(static_cast<uint16_t>(result));
  SetCurSel(target);
}

void MemorySheetHost::DoBack() {
  if (active_ < 0 || ended_) return;
  intptr_t result = Notify(static_cast<size_t>(active_), kPsnWizBack);
  if (result == kPsnStay) return;
  int target = result == kPsnGoOn ? active_ - 1 : IndexOfTemplate(static_cast<uint16_t>(result));
  SetCurSel(target);
}

void MemorySheetHost::DoFinish() {
  if (active_ < 0 || ended_) return;
  if (Notify(static_cast<size_t>(active_), kPsnWizFinish) == kPsnGoOn) ended_ = true;
}

void MemorySheetHost::DoCancel() {
  if (active_ < 0 || ended_) return;
  if (Notify(static_cast<size_t>(active_), kPsnQueryCancel) != kPsnGoOn) return;
  for (size_t i = 0; i < sheetPages_.size(); ++i) Notify(i, kPsnReset);
  ended_ = true;
}

void MemorySheetHost::Press(int button) {
  switch (button) {
    case kPsbtnBack:
      DoBack();
      break;
    case kPsbtnNext:
      DoNext();
      break;
    case kPsbtnFinish:
      DoFinish();
      break;
    case kPsbtnCancel:
      DoCancel();
      break;
    default:
      break;
  }
}

void MemorySheetHost::SetWizButtons(WindowHandle sheet, uint32_t state, bool send) {
  if (sheet != sheet_ || sheet_ == 0) return;
  if (send)
    buttons_ = state;
  else
    queue_.push_back({Posted::kButtons, sheet, state});
}

void MemorySheetHost::PressButton(WindowHandle sheet, int button, bool send) {
  if (sheet != sheet_ || sheet_ == 0) return;
  if (send)
    Press(button);
  else
    queue_.push_back({Posted::kPress, sheet, static_cast<uint32_t>(button)});
}

bool MemorySheetHost::IsDialogMessage(WindowHandle sheet, const void*) {
  ++dialogMessages_;
  return sheet == sheet_ && sheet_ != 0 && dialogMessageAnswer_;
}

void MemorySheetHost::PostCommand(WindowHandle window, uint32_t id) {
  queue_.push_back({Posted::kCommand, window, id});
}

void MemorySheetHost::PostFinishMessage(WindowHandle page) {
  queue_.push_back({Posted::kFinish, page, 0});
}

void MemorySheetHost::PostQuit(int exitCode) {
  quitPosted_ = true;
  quitCode_ = exitCode;
  ++quitCount_;
}

int MemorySheetHost::DispatchPosted() {
  int count = 0;
  while (!queue_.empty()) {
    Message message = queue_.front();
    queue_.pop_front();
    ++count;
    // Messages to windows that no longer exist are lost, as on Windows.
    if (message.window == sheet_ && sheet_ != 0) {
      if (message.kind == Posted::kButtons) buttons_ = message.value;
      if (message.kind == Posted::kPress) Press(static_cast<int>(message.value));
      if (message.kind == Posted::kCommand && message.value == kIdcCancel) DoCancel();
      continue;
    }
    PageEntry* entry = EntryOfWindow(message.window);
    if (entry == nullptr) continue;
    if (message.kind == Posted::kCommand) entry->record.page->PageCommand(message.value, 0);
    if (message.kind == Posted::kFinish) entry->record.page->PageFinishMessage();
  }
  return count;
}

void MemorySheetHost::SetItemText(WindowHandle window, uint32_t id, const std::string& text) {
  if (Window* w = FindWindow(window)) w->controls[id].text = text;
}

std::string MemorySheetHost::GetItemText(WindowHandle window, uint32_t id) {
  Window* w = FindWindow(window);
  if (w == nullptr) return std::string();
  auto it = w->controls.find(id);
  return it == w->controls.end() ? std::string() : it->second.text;
}

void MemorySheetHost::SetCheck(WindowHandle window, uint32_t id, bool checked) {
  if (Window* w = FindWindow(window)) w->controls[id].checked = checked;
}

bool MemorySheetHost::GetCheck(WindowHandle window, uint32_t id) {
  Window* w = FindWindow(window);
  if (w == nullptr) return false;
  auto it = w->controls.find(id);
  return it != w->controls.end() && it->second.checked;
}

void MemorySheetHost::EnableItem(WindowHandle window, uint32_t id, bool enable) {
  if (Window* w = FindWindow(window)) w->controls[id].enabled = enable;
}

void MemorySheetHost::UpdateWindow(WindowHandle) { ++updateWindows_; }

BitmapHandle MemorySheetHost::LoadBitmap(uint32_t id) {
  if (bitmapsAvailable_.count(id) == 0) return 0;
  BitmapHandle bitmap = nextBitmap_++;
  liveBitmaps_.insert(bitmap);
  loadedBitmaps_.push_back(id);
  return bitmap;
}

void MemorySheetHost::DeleteBitmap(BitmapHandle bitmap) { liveBitmaps_.erase(bitmap); }

void MemorySheetHost::SetBitmapAvailable(uint32_t id, bool available) {
  if (available)
    bitmapsAvailable_.insert(id);
  else
    bitmapsAvailable_.erase(id);
}

bool MemorySheetHost::ClickNext() {
  if (!IsOpen() || (buttons_ & kWizNext) == 0) return false;
  DoNext();
  return true;
}

bool MemorySheetHost::ClickBack() {
  if (!IsOpen() || (buttons_ & kWizBack) == 0) return false;
  DoBack();
  return true;
}

bool MemorySheetHost::ClickFinish() {
  if (!IsOpen() || (buttons_ & kWizFinish) == 0) return false;
  DoFinish();
  return true;
}

bool MemorySheetHost::ClickCancel() {
  if (!IsOpen() || !CancelEnabled()) return false;
  DoCancel();
  return true;
}

bool MemorySheetHost::ClickPageButton(uint32_t id) {
  if (!IsOpen() || active_ < 0) return false;
  PageEntry* entry = Entry(sheetPages_[static_cast<size_t>(active_)]);
  if (entry == nullptr || entry->window == 0) return false;
  return entry->record.page->PageCommand(id, 0);
}

void MemorySheetHost::TypeText(uint32_t id, const std::string& text) {
  if (active_ < 0) return;
  PageEntry* entry = Entry(sheetPages_[static_cast<size_t>(active_)]);
  if (entry != nullptr && entry->window != 0) SetItemText(entry->window, id, text);
}

bool MemorySheetHost::CancelEnabled() const {
  auto it = windows_.find(sheet_);
  if (it == windows_.end()) return false;
  auto control = it->second.controls.find(kIdcCancel);
  return control != it->second.controls.end() && control->second.enabled;
}

uint16_t MemorySheetHost::CurrentTemplate() const {
  if (active_ < 0 || static_cast<size_t>(active_) >= sheetPages_.size()) return 0;
  PageHandle h = sheetPages_[static_cast<size_t>(active_)];
  return h != 0 && h <= pages_.size() ? pages_[h - 1].record.templateId : 0;
}

ISheetPage* MemorySheetHost::CurrentPage() const {
  if (active_ < 0 || static_cast<size_t>(active_) >= sheetPages_.size()) return nullptr;
  PageHandle h = sheetPages_[static_cast<size_t>(active_)];
  return h != 0 && h <= pages_.size() ? pages_[h - 1].record.page : nullptr;
}

bool MemorySheetHost::PageWindowExists(uint16_t templateId) const {
  return WindowOfTemplate(templateId) != 0 && templateId != 0;
}

std::string MemorySheetHost::ItemText(uint16_t templateId, uint32_t id) const {
  auto it = windows_.find(WindowOfTemplate(templateId));
  if (it == windows_.end()) return std::string();
  auto control = it->second.controls.find(id);
  return control == it->second.controls.end() ? std::string() : control->second.text;
}

bool MemorySheetHost::ItemChecked(uint16_t templateId, uint32_t id) const {
  auto it = windows_.find(WindowOfTemplate(templateId));
  if (it == windows_.end()) return false;
  auto control = it->second.controls.find(id);
  return control != it->second.controls.end() && control->second.checked;
}

intptr_t MemorySheetHost::LastResult(int code) const {
  auto it = lastResults_.find(code);
  return it == lastResults_.end() ? 0 : it->second;
}

}  // namespace svp
