#include "integration/shell_win.h"

#include <string>

#include "common/dialog_kit_win.h"
#include "common/help_contexts.h"
#include "common/shared_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

// QL5DINTL.DLL's two entries, by ordinal.
using CreateGroupEntry = int(WINAPI*)(const char* caption, const char* groupFile);
using AddItemEntry = int(WINAPI*)(const char* command, const char* description, const char* iconFile, int iconIndex);
constexpr WORD kCreateGroupOrdinal = 100;
constexpr WORD kAddItemOrdinal = 103;

std::string ProgramFile(const char* programDirectory, const char* name) {
  std::string path = programDirectory ? programDirectory : "";
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + name;
}

// Holds QL5DINTL.DLL for one call.
class GroupLibrary {
 public:
  explicit GroupLibrary(const char* programDirectory)
      : module_(LoadLibraryA(ProgramFile(programDirectory, "QL5DINTL.DLL").c_str())) {}
  ~GroupLibrary() {
    if (module_) FreeLibrary(module_);
  }
  GroupLibrary(const GroupLibrary&) = delete;
  GroupLibrary& operator=(const GroupLibrary&) = delete;
  template <typename Fn>
  Fn Entry(WORD ordinal) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(ordinal))));
  }

 private:
  HMODULE module_;
};

struct DialogData {
  const char* programDirectory;
  const std::string* program;
};

INT_PTR CALLBACK CreateGroupProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (DialogHelpOrCancel(d, m, w, help::kNewGroup)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(d, DWLP_USER, l);
      SendDlgItemMessageA(d, IDC_GROUP_CAPTION, EM_LIMITTEXT, 275, 0);
      SendDlgItemMessageA(d, IDC_GROUP_FILE, EM_LIMITTEXT, 275, 0);
      PlaceDialog(d);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {
        auto* data = reinterpret_cast<DialogData*>(GetWindowLongPtrA(d, DWLP_USER));
        std::string caption = DlgText(d, IDC_GROUP_CAPTION, 275);
        std::string file = DlgText(d, IDC_GROUP_FILE, 275);
        GroupLibrary library(data->programDirectory);
        if (auto create = library.Entry<CreateGroupEntry>(kCreateGroupOrdinal)) create(caption.c_str(), file.c_str());
        EndDialog(d, IDOK);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK AddItemProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (DialogHelpOrCancel(d, m, w, help::kNewItem)) return TRUE;
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(d, DWLP_USER, l);
      auto* data = reinterpret_cast<DialogData*>(l);
      SendDlgItemMessageA(d, IDC_ADDITEM_PROGRAM, EM_LIMITTEXT, 275, 0);
      SendDlgItemMessageA(d, IDC_ADDITEM_DESC, EM_LIMITTEXT, 275, 0);
      SetDlgItemTextA(d, IDC_ADDITEM_PROGRAM, data->program->c_str());
      PlaceDialog(d);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {
        auto* data = reinterpret_cast<DialogData*>(GetWindowLongPtrA(d, DWLP_USER));
        std::string program = DlgText(d, IDC_ADDITEM_PROGRAM, 275);
        std::string description = DlgText(d, IDC_ADDITEM_DESC, 275);
        GroupLibrary library(data->programDirectory);
        if (auto add = library.Entry<AddItemEntry>(kAddItemOrdinal))
          add(program.c_str(), description.c_str(), program.c_str(), 0);
        EndDialog(d, IDOK);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

void InstallFileManagerExtension(const char* programDirectory) {
  std::string library = ProgramFile(programDirectory, "QL53FM.DLL");
  WritePrivateProfileStringA(kFileManagerSection, kFileManagerKey, library.c_str(), kFileManagerIni);
}

void RemoveFileManagerExtension() {
  WritePrivateProfileStringA(kFileManagerSection, kFileManagerKey, nullptr, kFileManagerIni);
}

void NewGroupDialog(HWND owner, const char* programDirectory) {
  std::string none;
  DialogData data{programDirectory, &none};
  RunDialog(owner, "CreateGroup", CreateGroupProc, reinterpret_cast<LPARAM>(&data));
}

void NewItemDialog(HWND owner, const char* programDirectory, const std::string& program) {
  DialogData data{programDirectory, &program};
  RunDialog(owner, "AddItem", AddItemProc, reinterpret_cast<LPARAM>(&data));
}

}  // namespace ql
