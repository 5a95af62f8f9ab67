#include "integration/user_menus_win.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "browser/browser_win.h"
#include "common/dialog_kit_win.h"
#include "common/help_contexts.h"
#include "common/shared_win.h"
#include "integration/user_menu_rules.h"
#include "resources/ids.h"

namespace ql {

UserMenusHost g_userMenusHost;

namespace {

constexpr const char* kCaption = "Quillon";

std::string ReadValue(const char* section, const std::string& key, size_t size) {
  std::vector<char> buf(size + 1);
  GetPrivateProfileStringA(section, key.c_str(), "", buf.data(), static_cast<DWORD>(buf.size()),
                           g_userMenusHost.iniPath);
  return buf.data();
}

void WriteValue(const char* section, const std::string& key, const std::string& value) {
  WritePrivateProfileStringA(section, key.c_str(), value.c_str(), g_userMenusHost.iniPath);
}

std::vector<std::string> SlotTexts(const UserMenuKind& kind) {
  std::vector<std::string> texts;
  for (int n = 1; n <= kind.slots; ++n) texts.push_back(ReadValue(kind.textSection, SlotKey(kind, n), 63));
  return texts;
}

// A path that begins with a drive and colon, "." or "\" and names an existing file or directory
// becomes its short form; any other text stays as it is.
std::string ShortFormOfExisting(const std::string& text) {
  bool pathLike = (text.size() > 1 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') ||
                  (!text.empty() && (text[0] == '.' || text[0] == '\\'));
  if (!pathLike || GetFileAttributesA(text.c_str()) == INVALID_FILE_ATTRIBUTES) return text;
  char buf[MAX_PATH] = "";
  DWORD n = GetShortPathNameA(text.c_str(), buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf) : text;
}

// The directory a slot runs in: the one the active window remembers for its drive, else its own;
// the current directory when no browser window is open.
std::string SlotDirectory() {
  WindowRecord* r = RecordOf(g_activeBrowser);
  if (!r || !r->curDir[0]) return CurrentDirectory();
  char remembered[MAX_PATH] = "";
  if (RecallDriveDir(g_activeBrowser, r->curDir[0], remembered, sizeof remembered) && remembered[0]) return remembered;
  return r->curDir;
}

bool RunSlot(const UserMenuKind& kind, unsigned command) {
  int slot = SlotOfCommand(kind, command);
  if (!slot) return false;
  std::string dir = SlotDirectory();
  std::string program = ShortFormOfExisting(ReadValue(kind.programSection, SlotKey(kind, slot), 259));
  std::string parameters = ShortFormOfExisting(ReadValue(kind.commandSection, SlotKey(kind, slot), 259));
  std::string line = SlotCommandLine(program, parameters);
  bool minimized = !ReadValue(kind.commandSection, RunMinKey(slot), 259).empty();
  // The started program inherits the directory as its drive's per-drive entry and as its own.
  char variable[4] = {'=', static_cast<char>(std::toupper(static_cast<unsigned char>(dir.empty() ? 'C' : dir[0]))),
                      ':', 0};
  char saved[MAX_PATH + 1] = "";
  bool hadValue = GetEnvironmentVariableA(variable, saved, sizeof saved) > 0;
  std::string savedDir = CurrentDirectory();
  SetEnvironmentVariableA(variable, dir.c_str());
  SetCurrentDirectoryA(dir.c_str());
  WinExec(line.c_str(), minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
  if (!savedDir.empty()) SetCurrentDirectoryA(savedDir.c_str());
  SetEnvironmentVariableA(variable, hadValue ? saved : nullptr);
  return true;
}

// ---- the setup dialogs ----

struct SetupDialog {
  const UserMenuKind* kind;
  int textId, programId, parametersId, minimizedId;  // minimizedId 0: none in the template
  int listId, deleteId, updateId;
  unsigned helpContext;
  bool macros;
};

const SetupDialog kApplicationsSetup{&kApplicationsMenu, IDC_APPS_TEXT, IDC_APPS_PROGRAM, IDC_APPS_PARAMETERS,
                                     IDC_APPS_MINIMIZED, IDC_APPS_LIST, IDC_APPS_DELETE, IDC_APPS_UPDATE,
                                     help::kApplications, false};
const SetupDialog kMacrosSetup{&kMacrosMenu, IDC_MACROS_TEXT, IDC_MACROS_PROGRAM, IDC_MACROS_COMMAND, 0,
                               IDC_MACROS_LIST, IDC_MACROS_DELETE, IDC_MACROS_UPDATE, help::kMacros, true};

std::string ListText(HWND list, LRESULT i) {
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
  if (length == LB_ERR) return "";
  std::vector<char> text(static_cast<size_t>(length) + 1);
  SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

// The slot a list item stands for. Items may share a text: the n-th item with a text is the n-th
// slot holding it. 0 when there is none.
int SlotOfItem(HWND list, LRESULT i, const UserMenuKind& k) {
  const std::string text = ListText(list, i);
  size_t before = 0;
  for (LRESULT j = 0; j < i; ++j)
    if (ListText(list, j) == text) ++before;
  std::vector<int> slots = SlotsWithText(SlotTexts(k), text);
  return before < slots.size() ? slots[before] : 0;
}

void ClearFields(HWND d, const SetupDialog& s) {
  for (int id : {s.textId, s.programId, s.parametersId}) SetDlgItemTextA(d, id, "");
  if (s.minimizedId) CheckDlgButton(d, s.minimizedId, BST_UNCHECKED);
}

void ShowSlot(HWND d, const SetupDialog& s, int slot) {
  const UserMenuKind& k = *s.kind;
  SetDlgItemTextA(d, s.textId, ReadValue(k.textSection, SlotKey(k, slot), 63).c_str());
  SetDlgItemTextA(d, s.programId, ReadValue(k.programSection, SlotKey(k, slot), 259).c_str());
  SetDlgItemTextA(d, s.parametersId, ReadValue(k.commandSection, SlotKey(k, slot), 259).c_str());
  if (s.minimizedId)
    CheckDlgButton(d, s.minimizedId,
                   ReadValue(k.commandSection, RunMinKey(slot), 259).empty() ? BST_UNCHECKED : BST_CHECKED);
}

void ShowSelected(HWND d, const SetupDialog& s) {
  HWND list = GetDlgItem(d, s.listId);
  LRESULT i = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (i == LB_ERR) return;
  int slot = SlotOfItem(list, i, *s.kind);
  if (slot) ShowSlot(d, s, slot);
}

// The checks of Add and Update: a menu text (3016) and a program (3017).
bool FieldsComplete(HWND d, const SetupDialog& s) {
  if (DlgText(d, s.textId).empty()) {
    ShowStringMessage(d, IDS_ENTER_MENU_TEXT);
    return false;
  }
  if (DlgText(d, s.programId).empty()) {
    ShowStringMessage(d, IDS_ENTER_PROGRAM_NAME);
    return false;
  }
  return true;
}

void WriteSlot(HWND d, const SetupDialog& s, int slot) {
  const UserMenuKind& k = *s.kind;
  WriteValue(k.textSection, SlotKey(k, slot), DlgText(d, s.textId).substr(0, 63));
  WriteValue(k.programSection, SlotKey(k, slot), DlgText(d, s.programId).substr(0, 259));
  WriteValue(k.commandSection, SlotKey(k, slot), DlgText(d, s.parametersId).substr(0, 259));
  bool minimized = s.minimizedId && Checked(d, s.minimizedId);
  WriteValue(k.commandSection, RunMinKey(slot), minimized ? SlotKey(k, slot) : "");
}

void AddEntry(HWND d, const SetupDialog& s) {
  int slot = FirstFreeSlot(SlotTexts(*s.kind));
  if (!slot) {
    char text[256] = "";
    if (s.macros) {
      std::snprintf(text, sizeof text, "You can only setup a maximum of %d macros", s.kind->slots);
    } else {
      std::string format = LoadText(IDS_APPLICATIONS_FULL, 127);
      std::snprintf(text, sizeof text, format.c_str(), s.kind->slots);
    }
    AppMessageBox(d, text, kCaption, MB_OK | MB_ICONEXCLAMATION);
    ClearFields(d, s);
    return;
  }
  if (!FieldsComplete(d, s)) return;
  WriteSlot(d, s, slot);
  std::string text = DlgText(d, s.textId).substr(0, 63);
  SendDlgItemMessageA(d, s.listId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ClearFields(d, s);
}

void DeleteEntry(HWND d, const SetupDialog& s) {
  HWND list = GetDlgItem(d, s.listId);
  if (SendMessageA(list, LB_GETCOUNT, 0, 0) <= 0) {
    ShowStringMessage(d, IDS_NO_ITEMS_TO_DELETE);
    return;
  }
  LRESULT i = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (i == LB_ERR) {
    ShowStringMessage(d, IDS_SELECT_AN_ITEM);
    return;
  }
  // Only the selected entry's slot is emptied: another entry with the same text keeps its own.
  const UserMenuKind& k = *s.kind;
  if (int slot = SlotOfItem(list, i, k)) {
    WriteValue(k.textSection, SlotKey(k, slot), "");
    WriteValue(k.programSection, SlotKey(k, slot), "");
    WriteValue(k.commandSection, SlotKey(k, slot), "");
    WriteValue(k.commandSection, RunMinKey(slot), "");
  }
  SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  ClearFields(d, s);
}

void UpdateEntry(HWND d, const SetupDialog& s) {
  HWND list = GetDlgItem(d, s.listId);
  LRESULT i = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (i == LB_ERR) {
    ShowStringMessage(d, IDS_SELECT_AN_ITEM);
    return;
  }
  int slot = SlotOfItem(list, i, *s.kind);
  if (!slot || !FieldsComplete(d, s)) return;
  WriteSlot(d, s, slot);
  SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  std::string text = DlgText(d, s.textId).substr(0, 63);
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ClearFields(d, s);
}

// Done: the menu is made again from the list, in the list's order.
void RebuildMenu(HWND d, const SetupDialog& s) {
  HMENU popup = g_userMenusHost.popup ? g_userMenusHost.popup(s.macros) : nullptr;
  if (!popup) return;
  HWND list = GetDlgItem(d, s.listId);
  std::vector<std::string> texts;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) texts.push_back(ListText(list, i));
  while (GetMenuItemCount(popup) > 0) DeleteMenu(popup, 0, MF_BYPOSITION);
  for (const UserMenuItem& item : MenuFromList(*s.kind, texts, SlotTexts(*s.kind)))
    AppendMenuA(popup, MF_STRING, item.command, item.text.c_str());
  if (g_userMenusHost.menuWindow) DrawMenuBar(g_userMenusHost.menuWindow());
}

INT_PTR CALLBACK SetupProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  const SetupDialog* s = reinterpret_cast<const SetupDialog*>(GetWindowLongPtrA(d, DWLP_USER));
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(d, DWLP_USER, l);
    s = reinterpret_cast<const SetupDialog*>(l);
    SendDlgItemMessageA(d, s->textId, EM_LIMITTEXT, 64, 0);
    SendDlgItemMessageA(d, s->programId, EM_LIMITTEXT, 260, 0);
    SendDlgItemMessageA(d, s->parametersId, EM_LIMITTEXT, 260, 0);
    for (const std::string& text : SlotTexts(*s->kind))
      if (!text.empty()) SendDlgItemMessageA(d, s->listId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (SendDlgItemMessageA(d, s->listId, LB_GETCOUNT, 0, 0) > 0) {
      SendDlgItemMessageA(d, s->listId, LB_SETCURSEL, 0, 0);
      ShowSelected(d, *s);
    }
    PlaceDialog(d);
    return TRUE;
  }
  if (!s) return FALSE;
  // Done (also Escape and the close box) rebuilds the menu and ends the dialog.
  if (m == WM_COMMAND && (LOWORD(w) == IDCANCEL || (s->macros && LOWORD(w) == IDC_MACROS_DONE))) {
    RebuildMenu(d, *s);
    EndDialog(d, IDCANCEL);
    return TRUE;
  }
  if (DialogHelpOrCancel(d, m, w, s->helpContext)) return TRUE;
  if (m != WM_COMMAND) return FALSE;
  const int id = LOWORD(w);
  if (id == s->listId) {
    if (HIWORD(w) == LBN_SELCHANGE) ShowSelected(d, *s);
    return TRUE;
  }
  if (id == IDOK || (s->macros && id == IDC_MACROS_ADD)) {
    AddEntry(d, *s);
    return TRUE;
  }
  if (id == s->deleteId) {
    DeleteEntry(d, *s);
    return TRUE;
  }
  if (id == s->updateId) {
    UpdateEntry(d, *s);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

bool RunApplication(unsigned command) { return RunSlot(kApplicationsMenu, command); }
bool RunMacro(unsigned command) { return RunSlot(kMacrosMenu, command); }

void ApplicationsDialog(HWND owner) {
  RunDialog(owner, "APPLICATIONS", SetupProc, reinterpret_cast<LPARAM>(&kApplicationsSetup));
  g_cancelled = false;
}

void MacrosDialog(HWND owner) {
  RunDialog(owner, "MACROS", SetupProc, reinterpret_cast<LPARAM>(&kMacrosSetup));
  g_cancelled = false;
}

}  // namespace ql
