// The association table and the Associate dialog: the class root of the registry and the
// profile's "Extensions" section.
#include <cstring>
#include <string>
#include <vector>

#include "common/help_contexts.h"
#include "common/shared_win.h"
#include "common/dialog_kit_win.h"
#include "fileops/file_ops_win.h"
#include "fileops/launch_rules.h"
#include "fileops/launch_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

std::vector<AssociationRecord> g_associations;
// At start the table is read by a thread of its own while the windows are made (reading the whole
// class root takes a while under Wine); the first look into the table waits for it.
HANDLE g_builder = nullptr;
std::vector<AssociationRecord> g_built;

void ReadAssociations(std::vector<AssociationRecord>* table);

DWORD WINAPI ReadAssociationsInBackground(LPVOID) {
  ReadAssociations(&g_built);
  return 0;
}

void WaitForBuilder() {
  if (!g_builder) return;
  WaitForSingleObject(g_builder, INFINITE);
  CloseHandle(g_builder);
  g_builder = nullptr;
  g_associations.swap(g_built);
  g_built.clear();
}

constexpr const char* kNone = "(None)";

// The default value of a key of the class root; empty when the key or its value is missing.
std::string ClassValue(const std::string& key) {
  char value[262] = "";
  LONG size = sizeof value;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS) return "";
  value[sizeof value - 1] = 0;
  return value;
}

bool ClassKeyExists(const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyA(HKEY_CLASSES_ROOT, key.c_str(), &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

// Every key name of the class root.
std::vector<std::string> ClassRootKeys() {
  std::vector<std::string> keys;
  char name[262];
  for (DWORD i = 0; RegEnumKeyA(HKEY_CLASSES_ROOT, i, name, sizeof name) == ERROR_SUCCESS; ++i) keys.push_back(name);
  return keys;
}

// Deletes a key with everything below it.
void DeleteKeyTree(HKEY parent, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyA(parent, key.c_str(), &h) != ERROR_SUCCESS) return;
  std::vector<std::string> children;
  char name[262];
  for (DWORD i = 0; RegEnumKeyA(h, i, name, sizeof name) == ERROR_SUCCESS; ++i) children.push_back(name);
  for (const std::string& child : children) DeleteKeyTree(h, child);
  RegCloseKey(h);
  RegDeleteKeyA(parent, key.c_str());
}

void SetClassValue(const std::string& key, const std::string& value) {
  RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
}

void AddRecord(std::vector<AssociationRecord>* table, const std::string& extension, const std::string& description,
               const std::string& command, int fromRegistry) {
  AssociationRecord r{};
  lstrcpynA(r.extension, extension.c_str(), sizeof r.extension);
  lstrcpynA(r.description, description.c_str(), sizeof r.description);
  lstrcpynA(r.command, command.c_str(), sizeof r.command);
  r.fromRegistry = fromRegistry;
  table->push_back(r);
}

const AssociationRecord* FindRecordIn(const std::vector<AssociationRecord>& table, std::string_view extension) {
  for (const AssociationRecord& r : table)
    if (extension.size() < sizeof r.extension && lstrcmpiA(r.extension, std::string(extension).c_str()) == 0)
      return &r;
  return nullptr;
}

const AssociationRecord* FindRecord(std::string_view extension) {
  WaitForBuilder();
  return FindRecordIn(g_associations, extension);
}

void ReadAssociations(std::vector<AssociationRecord>* table) {
  table->clear();
  for (const std::string& key : ClassRootKeys()) {
    if (key.size() < 2 || key[0] != '.') continue;
    std::string cls = ClassValue(key);
    if (cls.empty() || ClassValue(cls + "\\shell\\open\\command").empty()) continue;
    AddRecord(table, key.substr(1), ClassValue(cls), cls, 1);
  }
  std::vector<char> keys(8192);
  DWORD n = GetProfileStringA("Extensions", nullptr, "", keys.data(), static_cast<DWORD>(keys.size()));
  for (const char* k = keys.data(); k < keys.data() + n && *k; k += std::strlen(k) + 1) {
    char value[262] = "";
    GetProfileStringA("Extensions", k, "", value, sizeof value);
    std::string command = ExtensionsCommand(value);
    if (command.empty() || FindRecordIn(*table, k)) continue;
    AddRecord(table, k, "", command, 0);
  }
}

struct AssociateData {
  std::string name;
};

std::string ItemText(HWND list, LRESULT i) {
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
  if (length == LB_ERR) return "";
  std::vector<char> text(static_cast<size_t>(length) + 1);
  SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

void FillTypes(HWND d, const std::string& extension) {
  HWND list = GetDlgItem(d, IDC_ASSOC_LIST);
  std::string current;
  if (!extension.empty()) {
    std::string cls = ClassValue("." + extension);
    if (!cls.empty()) {
      current = ClassValue(cls);
      if (current.empty()) current = cls;
    } else if (const AssociationRecord* r = FindRecord(extension)) {
      current = r->fromRegistry ? r->description : r->command;
    }
    for (const std::string& key : ClassRootKeys()) {
      if (key.empty() || key[0] == '.') continue;
      std::string description = ClassValue(key);
      if (description.empty()) continue;
      std::string command = ClassValue(key + "\\shell\\open\\command");
      if (command.empty()) continue;
      std::string item = AssociationItem(description, command, key);
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
  }
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNone));
  SetDlgItemTextA(d, IDC_ASSOC_PROGRAM, current.c_str());
  LRESULT selected = LB_ERR;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count && !current.empty(); ++i)
    if (ItemProgramText(ItemText(list, i)) == current) {
      selected = i;
      break;
    }
  if (selected == LB_ERR) selected = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(kNone));
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The program's own frame hears of the change directly (a broadcast does not always reach it under
// Wine); every other top-level window through the broadcast.
void BroadcastExtensionsChange(HWND dialog) {
  HWND frame = GetWindow(dialog, GW_OWNER);
  if (frame) frame = GetAncestor(frame, GA_ROOT);
  if (frame) SendMessageA(frame, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("Extensions"));
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("Extensions"), SMTO_ABORTIFHUNG,
                      2000, &result);
}

// OK: writes the association of the extension, or removes it for "(None)" or an empty text.
void WriteAssociation(HWND d) {
  char typed[11] = "";
  GetDlgItemTextA(d, IDC_ASSOC_EXTENSION, typed, sizeof typed);
  std::string extension = typed;
  size_t dot = extension.rfind('.');
  if (dot != std::string::npos) extension.erase(0, dot + 1);
  char program[MAX_PATH + 1] = "";
  GetDlgItemTextA(d, IDC_ASSOC_PROGRAM, program, sizeof program);
  std::string text = QuotedProgramText(program);
  const std::string key = "." + extension;
  if (extension.empty()) return;
  if (text.empty() || text == kNone) {
    DeleteKeyTree(HKEY_CLASSES_ROOT, key);
    WriteProfileStringA("Extensions", extension.c_str(), nullptr);
    BroadcastExtensionsChange(d);
    return;
  }
  HWND list = GetDlgItem(d, IDC_ASSOC_LIST);
  LRESULT found = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  std::string cls = found != LB_ERR ? ItemClassName(ItemText(list, found)) : ClassNameFromProgram(text);
  if (cls.empty()) cls = ClassNameFromProgram(text);
  // A class typed by hand gets its key and open command whether or not the extension had a key.
  if (!ClassKeyExists(cls)) {
    SetClassValue(cls, cls);
    SetClassValue(cls + "\\shell\\open\\command", OpenCommandFor(text));
  }
  SetClassValue(key, cls);
  std::string command = ClassValue(cls + "\\shell\\open\\command");
  if (!command.empty())
    WriteProfileStringA("Extensions", extension.c_str(), ExtensionsValueFor(command, extension).c_str());
  BroadcastExtensionsChange(d);
}

INT_PTR CALLBACK AssociateProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (DialogHelpOrCancel(d, m, w, help::kAssociate)) return TRUE;
  switch (m) {
    case WM_INITDIALOG: {
      AssociateData* data = reinterpret_cast<AssociateData*>(l);
      std::string extension = ExtensionOf(data->name);
      if (IsProgramExtension(extension)) {
        ShowStringMessage(d, IDS_NO_PROGRAMS_ALLOWED);
        EndDialog(d, IDCANCEL);
        return TRUE;
      }
      SendDlgItemMessageA(d, IDC_ASSOC_EXTENSION, EM_LIMITTEXT, 10, 0);
      SendDlgItemMessageA(d, IDC_ASSOC_PROGRAM, EM_LIMITTEXT, MAX_PATH, 0);
      SetDlgItemTextA(d, IDC_ASSOC_EXTENSION, extension.c_str());
      FillTypes(d, extension);
      PlaceDialog(d);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDC_ASSOC_LIST:
          if (HIWORD(w) == LBN_SELCHANGE) {
            HWND list = GetDlgItem(d, IDC_ASSOC_LIST);
            LRESULT i = SendMessageA(list, LB_GETCURSEL, 0, 0);
            if (i != LB_ERR) SetDlgItemTextA(d, IDC_ASSOC_PROGRAM, ItemProgramText(ItemText(list, i)).c_str());
          }
          return TRUE;
        case IDC_ASSOC_BROWSE: {
          std::string chosen;
          if (ChooseProgram(d, &chosen)) {
            if (chosen.find(' ') != std::string::npos) chosen = "\"" + chosen + "\"";
            SetDlgItemTextA(d, IDC_ASSOC_PROGRAM, chosen.c_str());
          }
          return TRUE;
        }
        case IDOK:
          WriteAssociation(d);
          EndDialog(d, IDOK);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

void BuildAssociationTable() {
  WaitForBuilder();
  ReadAssociations(&g_associations);
}

void BuildAssociationTableInBackground() {
  WaitForBuilder();
  g_associations.clear();
  g_builder = CreateThread(nullptr, 0, ReadAssociationsInBackground, nullptr, 0, nullptr);
  if (!g_builder) ReadAssociations(&g_associations);
}

void FreeAssociationTable() {
  WaitForBuilder();
  g_associations.clear();
  g_associations.shrink_to_fit();
}

const std::vector<AssociationRecord>& AssociationTable() {
  WaitForBuilder();
  return g_associations;
}

bool HasAssociation(std::string_view extension) { return !extension.empty() && FindRecord(extension) != nullptr; }

bool AssociateDialog(HWND owner, const std::string& name) {
  AssociateData data{name};
  return RunDialog(owner, "Associate", AssociateProc, reinterpret_cast<LPARAM>(&data)) == IDOK;
}

}  // namespace ql
