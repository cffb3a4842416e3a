#include "framework/Menus_win.h"

#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>
#include <cwctype>
#include <unordered_map>

namespace fw {

namespace {

// Command identifiers of live items. Menu commands are 16-bit.
std::unordered_map<UINT, TMenuItem*>& Commands() {
  static std::unordered_map<UINT, TMenuItem*> commands;
  return commands;
}

UINT NewCommand(TMenuItem* item) {
  static UINT next = 1;
  auto& commands = Commands();
  for (int tries = 0; tries < 0xFFFF; ++tries) {
    UINT id = next;
    next = next >= 0xFFFF ? 1 : next + 1;
    if (!commands.count(id)) {
      commands[id] = item;
      return id;
    }
  }
  throw EFrameworkError("Too many menu items");
}

struct TKeyName {
  WORD Key;
  const char* Name;
};
constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_ESCAPE, "Esc"},  {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},  {VK_NEXT, "PgDn"},  {VK_END, "End"},     {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},       {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

std::string KeyName(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
  for (const TKeyName& k : kKeyNames) {
    if (k.Key == key) return k.Name;
  }
  return {};
}

// The menus' font, as the system draws menus.
void UseMenuFont(TFont& font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  const LOGFONTW& lf = metrics.lfMenuFont;
  font.SetName(WideToUtf8(lf.lfFaceName));
  font.SetHeight(lf.lfHeight);
  font.SetCharset(lf.lfCharSet);
  font.SetStyle(lf.lfWeight >= FW_BOLD ? TFontStyles{fsBold} : TFontStyles{});
  font.SetColor(clMenuText);
}

std::vector<TPopupList*>& LivePopupLists() {
  static std::vector<TPopupList*> lists;
  return lists;
}

TPopupList* g_popupList = nullptr;

}  // namespace

// ---------------------------------------------------------------------------
// Shortcuts and accelerators

TShortCut ShortCut(WORD key, TShiftState shift) {
  TShortCut result = static_cast<TShortCut>(key & 0xFF);
  if (shift.Contains(ssShift)) result |= scShift;
  if (shift.Contains(ssCtrl)) result |= scCtrl;
  if (shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(static_cast<WORD>(shortCut & 0xFF));
  if (name.empty()) return {};
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut modifiers = 0;
  for (;;) {
    if (text.size() > 6 && SameText(text.substr(0, 6), "Shift+")) {
      modifiers |= scShift;
      text.remove_prefix(6);
    } else if (text.size() > 5 && SameText(text.substr(0, 5), "Ctrl+")) {
      modifiers |= scCtrl;
      text.remove_prefix(5);
    } else if (text.size() > 4 && SameText(text.substr(0, 4), "Alt+")) {
      modifiers |= scAlt;
      text.remove_prefix(4);
    } else {
      break;
    }
  }
  if (text.empty()) return scNone;
  for (WORD key = 8; key <= 255; ++key) {
    std::string name = KeyName(key);
    if (!name.empty() && SameText(name, text)) return static_cast<TShortCut>(key | modifiers);
  }
  return scNone;
}

wchar_t GetHotkey(std::string_view caption) {
  std::wstring text = Utf8ToWide(caption);
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;  // "&&" is a plain ampersand
      continue;
    }
    return static_cast<wchar_t>(std::towupper(text[i + 1]));
  }
  return 0;
}

bool IsAccel(WORD key, std::string_view caption) {
  wchar_t hotkey = GetHotkey(caption);
  return hotkey != 0 && hotkey == static_cast<wchar_t>(std::towupper(key));
}

std::string StripHotkey(std::string_view caption) {
  std::string result;
  result.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        result += '&';
        ++i;
      }
      continue;
    }
    result += caption[i];
  }
  return result;
}

// ---------------------------------------------------------------------------
// Registration

const TClassInfo& TMenuItem::StaticClass() {
  static const TClassInfo& info =
      DefineClass<TMenuItem, TComponent>("TMenuItem")
          .Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck, false)
          .WString("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
          .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
          .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
          .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
          .Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0)
          .Int("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext, 0)
          .WString("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
          .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
          .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false)
          .Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0)
          .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
          .Event("OnAdvancedDrawItem", &TMenuItem::SetOnAdvancedDrawItem)
          .Event("OnClick", &TMenuItem::SetOnClick)
          .Event("OnDrawItem", &TMenuItem::SetOnDrawItem)
          .Event("OnMeasureItem", &TMenuItem::SetOnMeasureItem)
          .Register();
  return info;
}
FW_REGISTER_CLASS(TMenuItem)

const TClassInfo& TMenu::StaticClass() {
  static const TClassInfo& info = DefineClass<TMenu, TComponent>("TMenu")
                                      .Component("Images", &TMenu::Images, &TMenu::SetImages)
                                      .Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw, false)
                                      .Register();
  return info;
}

const TClassInfo& TMainMenu::StaticClass() {
  static const TClassInfo& info = DefineClass<TMainMenu, TMenu>("TMainMenu").Register();
  return info;
}
FW_REGISTER_CLASS(TMainMenu)

const TClassInfo& TPopupMenu::StaticClass() {
  static const TClassInfo& info =
      DefineClass<TPopupMenu, TMenu>("TPopupMenu")
          .Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, {"paLeft", "paRight", "paCenter"},
                paLeft)
          .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
          .Event("OnPopup", &TPopupMenu::SetOnPopup)
          .Register();
  return info;
}
FW_REGISTER_CLASS(TPopupMenu)

// ---------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) { m_command = NewCommand(this); }

TMenuItem::~TMenuItem() {
  Commands().erase(m_command);
  if (m_parent) m_parent->Remove(this);
  // Sub-items go with their parent, as menus are built.
  while (!m_items.empty()) {
    TMenuItem* child = m_items.back();
    m_items.pop_back();
    child->m_parent = nullptr;
    delete child;
  }
  if (m_handle && !m_parent && !m_menu) {
    ::DestroyMenu(m_handle);
    m_handle = nullptr;
  }
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EFrameworkError("Menu index out of range");
  return m_items[static_cast<size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(m_items.begin(), m_items.end(), item);
  return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

int TMenuItem::MenuIndex() const { return m_parent ? m_parent->IndexOf(this) : -1; }

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->m_parent) throw EFrameworkError("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->m_parent) {
    if (p == item) throw EFrameworkError("A menu item cannot contain itself");
  }
  index = std::clamp(index, 0, Count());
  m_items.insert(m_items.begin() + index, item);
  item->m_parent = this;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  int index = IndexOf(item);
  if (index < 0) return;
  m_items.erase(m_items.begin() + index);
  item->m_parent = nullptr;
  item->DestroyHandle();
  MenuChanged(true);
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  Remove(item);
  delete item;
}

void TMenuItem::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->m_parent) root = root->m_parent;
  return root->m_menu;
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
  if (m_command == command) return this;
  for (TMenuItem* child : m_items) {
    if (TMenuItem* found = child->FindByCommand(command)) return found;
  }
  return nullptr;
}

void TMenuItem::SetCaption(const std::string& utf8) {
  if (utf8 == m_caption) return;
  m_caption = utf8;
  MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (value == m_shortCut) return;
  m_shortCut = value;
  MenuChanged(true);
}

void TMenuItem::SetChecked(bool value) {
  if (value == m_checked) return;
  m_checked = value;
  if (value && m_radioItem && m_parent) {
    // Radio items of a group: one checked at a time.
    for (TMenuItem* sibling : m_parent->m_items) {
      if (sibling != this && sibling->m_radioItem && sibling->m_groupIndex == m_groupIndex) {
        sibling->m_checked = false;
      }
    }
  }
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool value) {
  if (value == m_radioItem) return;
  m_radioItem = value;
  MenuChanged(true);
}

void TMenuItem::SetEnabled(bool value) {
  if (value == m_enabled) return;
  m_enabled = value;
  MenuChanged(true);
}

void TMenuItem::SetVisible(bool value) {
  if (value == m_visible) return;
  m_visible = value;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool value) {
  if (value == m_default) return;
  m_default = value;
  MenuChanged(true);
}

void TMenuItem::SetGroupIndex(int value) {
  if (value == m_groupIndex) return;
  m_groupIndex = value;
  MenuChanged(false);
}

void TMenuItem::SetImageIndex(int value) {
  if (value == m_imageIndex) return;
  m_imageIndex = value;
  MenuChanged(true);
}

TBitmap& TMenuItem::Bitmap() {
  if (!m_bitmap) m_bitmap = std::make_unique<TBitmap>();
  return *m_bitmap;
}

void TMenuItem::MenuChanged(bool rebuild) {
  if (!rebuild || IsLoading()) return;
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::DestroyHandle() {
  // A sub-menu belongs to the menu it hangs in; only a detached tree's top
  // handle is destroyed here.
  for (TMenuItem* child : m_items) child->DestroyHandle();
  m_handle = nullptr;
}

HMENU TMenuItem::Handle() {
  if (m_handle) return m_handle;
  if (m_menu) return m_menu->Handle();
  if (TMenu* menu = GetParentMenu()) {
    menu->Handle();
    if (m_handle) return m_handle;
  }
  return nullptr;
}

void TMenuItem::AppendTo(HMENU menu, bool ownerDraw, bool menuBar) {
  if (!m_visible) return;
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
  std::wstring text;
  if (IsLine() && !menuBar) {
    info.fType = MFT_SEPARATOR;
  } else {
    info.fType = MFT_STRING;
    info.fMask |= MIIM_STRING;
    text = Utf8ToWide(m_caption);
    if (m_shortCut && !menuBar) text += L"\t" + Utf8ToWide(ShortCutToText(m_shortCut));
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
  }
  if (ownerDraw) info.fType |= MFT_OWNERDRAW;
  if (m_radioItem) info.fType |= MFT_RADIOCHECK;
  if (m_checked) info.fState |= MFS_CHECKED;
  if (!m_enabled) info.fState |= MFS_DISABLED | MFS_GRAYED;
  if (m_default) info.fState |= MFS_DEFAULT;
  info.wID = m_command;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  if (!m_items.empty()) {
    m_handle = ::CreatePopupMenu();
    for (TMenuItem* child : m_items) child->AppendTo(m_handle, ownerDraw, false);
    info.hSubMenu = m_handle;
  }
  if (!::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &info) && m_handle) {
    ::DestroyMenu(m_handle);
    m_handle = nullptr;
  }
}

void TMenuItem::Click() {
  if (!m_enabled) return;
  if (m_autoCheck) SetChecked(!m_checked);
  if (m_onClick) {
    TNotifyEvent handler = m_onClick;
    handler(this);
  }
}

void TMenuItem::DefaultMeasure(TCanvas& canvas, int& width, int& height) {
  if (IsLine()) {
    height = 8;
    width = 0;
    return;
  }
  std::string text = StripHotkey(m_caption);
  if (m_shortCut) text += "    " + ShortCutToText(m_shortCut);
  TSize extent = canvas.TextExtent(text);
  const bool topLevel = m_parent && m_parent->m_menu && m_parent->m_menu->IsMenuBar();
  width = extent.cx + (topLevel ? 8 : 2 * ::GetSystemMetrics(SM_CXMENUCHECK) + 8);
  height = std::max<int>(extent.cy + 4, ::GetSystemMetrics(SM_CYMENUCHECK) + 2);
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
  DefaultMeasure(canvas, width, height);
  if (m_onMeasureItem) m_onMeasureItem(this, &canvas, width, height);
}

void TMenuItem::DefaultDraw(TCanvas& canvas, const TRect& rect, TOwnerDrawState state, bool topLevel) {
  const bool selected = (state & odSelected) != 0;
  canvas.Brush().SetColor(selected ? clHighlight : (topLevel ? clMenuBar : clMenu));
  canvas.FillRect(rect);
  if (IsLine()) {
    canvas.Pen().SetColor(clBtnShadow);
    int y = rect.Top + rect.Height() / 2;
    canvas.MoveTo(rect.Left + 2, y);
    canvas.LineTo(rect.Right - 2, y);
    return;
  }
  TColor textColor = selected ? clHighlightText : clMenuText;
  if (!m_enabled) textColor = clGrayText;
  canvas.Font().SetColor(textColor);
  canvas.Brush().SetStyle(bsClear);
  const int gutter = topLevel ? 4 : ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
  if (m_checked && !topLevel) {
    TRect box(rect.Left + 2, rect.Top, rect.Left + gutter, rect.Bottom);
    TRect mark = box;
    canvas.DrawText(mark, m_radioItem ? L"\u25CF" : L"\u2713", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  TRect textRect(rect.Left + gutter, rect.Top, rect.Right - 4, rect.Bottom);
  UINT flags = DT_SINGLELINE | DT_VCENTER | ((state & odNoAccel) ? DT_HIDEPREFIX : 0);
  canvas.DrawText(textRect, Utf8ToWide(m_caption), flags);
  if (m_shortCut && !topLevel) {
    TRect keys = textRect;
    canvas.DrawText(keys, Utf8ToWide(ShortCutToText(m_shortCut)), DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
}

void TMenuItem::AdvancedDrawItem(TCanvas& canvas, const TRect& rect, TOwnerDrawState state, bool topLevel) {
  if (m_onAdvancedDrawItem) {
    m_onAdvancedDrawItem(this, &canvas, rect, state);
  } else if (m_onDrawItem) {
    m_onDrawItem(this, &canvas, rect, (state & odSelected) != 0);
  } else {
    DefaultDraw(canvas, rect, state, topLevel);
  }
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (m_parent) m_parent->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(parent)) {
    menu->Items()->Add(this);
  } else if (auto* item = dynamic_cast<TMenuItem*>(parent)) {
    item->Add(this);
  }
}

TComponent* TMenuItem::GetParentComponent() const {
  if (!m_parent) return nullptr;
  if (m_parent->m_menu) return m_parent->m_menu;
  return m_parent;
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  for (TMenuItem* child : m_items) proc(child);
}

// ---------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), m_items(std::make_unique<TMenuItem>(nullptr)) {
  m_items->m_menu = this;
}

TMenu::~TMenu() {
  if (m_items->m_handle) {
    ::DestroyMenu(m_items->m_handle);
    m_items->DestroyHandle();
  }
  // The items belong to the menu's owner: they leave the tree, and are freed
  // by their owner.
  while (m_items->Count() > 0) {
    TMenuItem* item = m_items->m_items.back();
    m_items->m_items.pop_back();
    item->m_parent = nullptr;
    if (!item->Owner()) delete item;
  }
  m_items->m_menu = nullptr;
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == m_ownerDraw) return;
  m_ownerDraw = value;
  MenuChanged();
}

HMENU TMenu::Handle() {
  HMENU& root = m_items->m_handle;
  if (root && !::IsMenu(root)) {
    // The window that showed the menu bar took it with it.
    m_items->DestroyHandle();
  }
  if (!root) {
    root = IsMenuBar() ? ::CreateMenu() : ::CreatePopupMenu();
    if (!root) throw EFrameworkError("Can't create the menu");
    for (TMenuItem* item : m_items->m_items) item->AppendTo(root, m_ownerDraw, IsMenuBar());
  }
  return root;
}

void TMenu::RebuildHandle() {
  HMENU root = m_items->m_handle;
  if (!root || !::IsMenu(root)) return;
  // Keep the root (a window may show it); make its contents again.
  while (::GetMenuItemCount(root) > 0) ::DeleteMenu(root, 0, MF_BYPOSITION);  // sub-menus go too
  for (TMenuItem* item : m_items->m_items) item->DestroyHandle();
  for (TMenuItem* item : m_items->m_items) item->AppendTo(root, m_ownerDraw, IsMenuBar());
}

void TMenu::MenuChanged() { RebuildHandle(); }

TMenuItem* TMenu::FindItem(UINT command) {
  auto it = Commands().find(command);
  if (it == Commands().end()) return nullptr;
  TMenuItem* item = it->second;
  return item->GetParentMenu() == this ? item : nullptr;
}

namespace {
TMenuItem* FindShortCutIn(TMenuItem* item, TShortCut shortCut) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (child->ShortCut() == shortCut && child->Visible() && child->Enabled()) return child;
    if (TMenuItem* found = FindShortCutIn(child, shortCut)) return found;
  }
  return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindItemByHandle(HMENU handle) {
  if (!handle || !m_items->m_handle) return nullptr;
  std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
    if (item->m_handle == handle) return item;
    for (TMenuItem* child : item->m_items) {
      if (TMenuItem* found = find(child)) return found;
    }
    return nullptr;
  };
  return find(m_items.get());
}

bool TMenu::MenuChar(HMENU handle, WORD key, LRESULT& result) {
  TMenuItem* parent = FindItemByHandle(handle);
  if (!parent) return false;
  int position = 0;  // among the items the system shows
  for (TMenuItem* item : parent->m_items) {
    if (!item->Visible()) continue;
    if (item->Enabled() && IsAccel(key, item->Caption())) {
      result = MAKELRESULT(position, MNC_EXECUTE);
      return true;
    }
    ++position;
  }
  return false;
}

TMenuItem* TMenu::FindShortCut(TShortCut shortCut) {
  if (shortCut == scNone) return nullptr;
  return FindShortCutIn(m_items.get(), shortCut);
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindItem(command);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::MeasureItem(MEASUREITEMSTRUCT& data) {
  if (data.CtlType != ODT_MENU) return false;
  auto* item = reinterpret_cast<TMenuItem*>(data.itemData);
  if (!item || FindItem(data.itemID) != item) return false;
  ScopedCreateDC dc(nullptr);
  TCanvas canvas;
  canvas.SetHandle(dc.Get());
  UseMenuFont(canvas.Font());
  int width = static_cast<int>(data.itemWidth);
  int height = static_cast<int>(data.itemHeight);
  item->MeasureItem(canvas, width, height);
  canvas.SetHandle(nullptr);
  data.itemWidth = static_cast<UINT>(std::max(width, 0));
  data.itemHeight = static_cast<UINT>(std::max(height, 0));
  return true;
}

bool TMenu::DrawItem(const DRAWITEMSTRUCT& data) {
  if (data.CtlType != ODT_MENU) return false;
  auto* item = reinterpret_cast<TMenuItem*>(data.itemData);
  if (!item || FindItem(data.itemID) != item) return false;
  ScopedSaveDC saved(data.hDC);
  TCanvas canvas;
  canvas.SetHandle(data.hDC);
  UseMenuFont(canvas.Font());
  const bool topLevel = IsMenuBar() && item->Parent() == m_items.get();
  item->AdvancedDrawItem(canvas, TRect(data.rcItem.left, data.rcItem.top, data.rcItem.right, data.rcItem.bottom),
                         data.itemState, topLevel);
  canvas.SetHandle(nullptr);
  return true;
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  for (TMenuItem* item : m_items->m_items) proc(item);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == m_images) m_images = nullptr;
}

// ---------------------------------------------------------------------------
// TMainMenu

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}
TMainMenu::~TMainMenu() {
  if (m_window && ::IsWindow(m_window) && ::GetMenu(m_window) == (HandleAllocated() ? Handle() : nullptr)) {
    ::SetMenu(m_window, nullptr);
  }
}

void TMainMenu::SetWindowHandle(HWND window) { m_window = window; }

void TMainMenu::MenuChanged() {
  TMenu::MenuChanged();
  if (m_window && ::IsWindow(m_window)) ::DrawMenuBar(m_window);
}

// ---------------------------------------------------------------------------
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) { PopupList().Add(this); }

TPopupMenu::~TPopupMenu() {
  for (TPopupList* list : LivePopupLists()) list->Remove(this);
}

void TPopupMenu::Popup(int x, int y) {
  if (m_onPopup) m_onPopup(this);
  HMENU menu = Handle();
  HWND owner = PopupList().Window();
  UINT flags = TPM_RIGHTBUTTON;
  switch (m_alignment) {
    case paLeft: flags |= TPM_LEFTALIGN; break;
    case paRight: flags |= TPM_RIGHTALIGN; break;
    case paCenter: flags |= TPM_CENTERALIGN; break;
  }
  // The owner must be in front for the menu to close when the user clicks
  // elsewhere; the posted null message ends the loop cleanly.
  ::SetForegroundWindow(owner);
  ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
  ::PostMessageW(owner, WM_NULL, 0, 0);
}

// ---------------------------------------------------------------------------
// TPopupList

TPopupList::TPopupList() {
  m_window = std::make_unique<TUtilWindow>(
      [this](TMessage& m) -> bool {
        WndProc(m);
        return true;
      },
      true);
  LivePopupLists().push_back(this);
}

TPopupList::~TPopupList() {
  std::erase(LivePopupLists(), this);
  if (g_popupList == this) g_popupList = nullptr;
}

void TPopupList::Add(TPopupMenu* menu) {
  if (menu && std::find(m_menus.begin(), m_menus.end(), menu) == m_menus.end()) m_menus.push_back(menu);
}

void TPopupList::Remove(TPopupMenu* menu) { std::erase(m_menus, menu); }

void TPopupList::WndProc(TMessage& message) {
  std::vector<TPopupMenu*> menus = m_menus;  // handlers may add or free menus
  auto alive = [this](TPopupMenu* m) { return std::find(m_menus.begin(), m_menus.end(), m) != m_menus.end(); };
  switch (message.Msg) {
    case WM_COMMAND:
      for (TPopupMenu* menu : menus) {
        if (alive(menu) && menu->DispatchCommand(LOWORD(message.WParam))) {
          message.Result = 0;
          return;
        }
      }
      break;
    case WM_INITMENUPOPUP:
      for (TPopupMenu* menu : menus) {
        if (!alive(menu)) continue;
        if (TMenuItem* item = menu->FindItemByHandle(reinterpret_cast<HMENU>(message.WParam))) {
          if (item != menu->Items()) item->Click();  // a parent item hears its sub-menu open
          message.Result = 0;
          return;
        }
      }
      break;
    case WM_MEASUREITEM:
      for (TPopupMenu* menu : menus) {
        if (alive(menu) && menu->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam))) {
          message.Result = 1;
          return;
        }
      }
      break;
    case WM_DRAWITEM:
      for (TPopupMenu* menu : menus) {
        if (alive(menu) && menu->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam))) {
          message.Result = 1;
          return;
        }
      }
      break;
    case WM_MENUCHAR:
      for (TPopupMenu* menu : menus) {
        if (alive(menu) &&
            menu->MenuChar(reinterpret_cast<HMENU>(message.LParam), LOWORD(message.WParam), message.Result)) {
          return;
        }
      }
      break;
  }
  message.Result = ::DefWindowProcW(Window(), message.Msg, message.WParam, message.LParam);
}

TPopupList& PopupList() {
  if (!g_popupList) g_popupList = new TPopupList();  // lives until the program ends
  return *g_popupList;
}

TPopupList* SetPopupList(TPopupList* list) {
  TPopupList* previous = g_popupList;
  g_popupList = list;
  return previous;
}

}  // namespace fw
