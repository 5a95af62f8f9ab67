#include "engine/dialogs_win.h"


#include <cstring>

#include "common/dialog_kit_win.h"
#include "common/help_contexts.h"
#include "common/shared_win.h"
#include "engine/switches_win.h"
#include "resources/ids.h"

namespace ql {

DialogHost g_dialogHost;

namespace {

// Help contexts of the dialogs. The target directory asks as part of extracting, so it opens the
// extract topic; deleting members opens the topic of deleting.
constexpr DWORD kHelpSwitches = help::kSwitches;
constexpr DWORD kHelpZipOptions = help::kZipOptions;
constexpr DWORD kHelpPassword = help::kPassword;
constexpr DWORD kHelpNewArchive = help::kNewArchive;
constexpr DWORD kHelpTarget = help::kTargetDirectory;

void ShowHelp(HWND dlg, DWORD context) { ql::ShowHelp(dlg, HelpAction::Context, context); }

// What every dialog does alike: F1 and its Help button open the help at the dialog's context, and
// Cancel ends it. True when the message was one of those.
bool HelpOrCancel(HWND dlg, UINT m, WPARAM w, DWORD context) {
  return DialogHelpOrCancel(dlg, m, w, context);
}

WriteSwitchKey Writer() {
  if (g_dialogHost.iniPath.empty()) return [](const char*, const char*) {};
  return IniSwitchWriter(g_dialogHost.iniPath);
}


// The last set member of a radio group of switches, or the first control when none is set.
int RadioFromBits(const Sw* ids, const int* controls, int n) {
  int chosen = controls[0];
  for (int i = 0; i < n; ++i)
    if (Bit(g_switches, ids[i])) chosen = controls[i];
  return chosen;
}

const Sw kCompression[] = {Sw::MaximumCompression, Sw::FasterCompression, Sw::FastestCompression,
                           Sw::NoCompression};
const int kCompressionIds[] = {IDC_SW_MAXIMUM, IDC_SW_FASTER, IDC_SW_FASTEST, IDC_SW_STORE};
const Sw kOrder[] = {Sw::ExtractByName, Sw::ExtractByExtender, Sw::ExtractBySize, Sw::ExtractByDate,
                     Sw::ExtractInReverseOrder};
const int kOrderIds[] = {IDC_SW_BY_NAME, IDC_SW_BY_EXTENSION, IDC_SW_BY_SIZE, IDC_SW_BY_DATE, IDC_SW_REVERSE};

// The plain boxes of both switches dialogs and their switches.
struct Box {
  int control;
  Sw id;
};
const Box kBoxes[] = {
    {IDC_SW_PASSWORD, Sw::Password},          {IDC_SW_RECURSE, Sw::RecurseSubdirs},
    {IDC_SW_KEEP_DATE, Sw::KeepOrigArcDate},  {IDC_SW_MULTI_VOLUME, Sw::MultiVolume},
    {IDC_SW_RESTORE_DIRS, Sw::RestoreSubdirs}, {IDC_SW_VOLUME_LABEL, Sw::StoreVolumeLabel},
    {IDC_SW_EXTRACT_PASSWORD, Sw::ExtractWithPassword}, {IDC_SW_NEWEST_DATE, Sw::SetToNewestDate},
};

// The path storage choice while a switches dialog is open; OK in that dialog makes it the flags.
INT_PTR CALLBACK PathStorageProc(HWND dlg, UINT m, WPARAM w, LPARAM) {
  switch (m) {
    case WM_INITDIALOG:
      PlaceDialog(dlg);
      CheckRadioButton(dlg, IDC_PATH_FULL, IDC_PATH_NONE, PathChoice(g_switches));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDC_PATH_FULL:
        case IDC_PATH_RELATIVE:
        case IDC_PATH_NONE:
          InvalidateRect(GetDlgItem(dlg, IDC_PATH_NOTE), nullptr, TRUE);
          return TRUE;
        case IDOK:
          g_switches.pathStorageChoice = Checked(dlg, IDC_PATH_FULL)       ? kPathFull
                                         : Checked(dlg, IDC_PATH_RELATIVE) ? kPathRelative
                                                                            : kPathNone;
          EndDialog(dlg, IDOK);
          return TRUE;
        case IDCANCEL:
          g_switches.pathStorageChoice = 0;
          g_switches.pathStorageChoice = PathChoice(g_switches);
          EndDialog(dlg, IDCANCEL);
          return TRUE;
        case IDC_HELP_BUTTON:
          ShowHelp(dlg, kHelpSwitches);
          return TRUE;
      }
      break;
    case WM_HELP:
      ShowHelp(dlg, kHelpSwitches);
      return TRUE;
  }
  return FALSE;
}

// The background of the path storage note, made when the note is first drawn.
HBRUSH g_lightGrey = nullptr;

// The note is drawn grey unless "Exclude All Path Names" is selected.
INT_PTR CALLBACK PathStorageDlgProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(l) == GetDlgItem(dlg, IDC_PATH_NOTE)) {
    HDC dc = reinterpret_cast<HDC>(w);
    if (!g_lightGrey) g_lightGrey = CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
    SetBkColor(dc, RGB(0xC0, 0xC0, 0xC0));
    SetTextColor(dc, Checked(dlg, IDC_PATH_NONE) ? RGB(0, 0, 0) : RGB(0x80, 0x80, 0x80));
    return reinterpret_cast<INT_PTR>(g_lightGrey);
  }
  return PathStorageProc(dlg, m, w, l);
}

struct SwitchesDialog {
  bool zip;
};

INT_PTR CALLBACK SwitchesProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* d = reinterpret_cast<SwitchesDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (HelpOrCancel(dlg, m, w, kHelpSwitches)) return TRUE;
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      d = reinterpret_cast<SwitchesDialog*>(l);
      PlaceDialog(dlg);
      for (const Box& b : kBoxes) Check(dlg, b.control, Bit(g_switches, b.id));
      CheckRadioButton(dlg, IDC_SW_MAXIMUM, IDC_SW_STORE, RadioFromBits(kCompression, kCompressionIds, 4));
      int overwrite = Bit(g_switches, Sw::OverwriteExisting) ? IDC_SW_OVERWRITE_ALL
                      : Bit(g_switches, Sw::ExtractOnlyNewer) ? IDC_SW_ONLY_NEWER
                                                              : IDC_SW_NO_OVERWRITE;
      CheckRadioButton(dlg, IDC_SW_OVERWRITE_ALL, IDC_SW_NO_OVERWRITE, overwrite);
      if (d->zip) {
        CheckRadioButton(dlg, IDC_SW_BY_NAME, IDC_SW_REVERSE, RadioFromBits(kOrder, kOrderIds, 5));
        if (!On(g_switches, Sw::UsePkzip))
          for (int id : {IDC_SW_PASSWORD, IDC_SW_MULTI_VOLUME, IDC_SW_BY_NAME, IDC_SW_BY_EXTENSION, IDC_SW_BY_SIZE,
                         IDC_SW_BY_DATE, IDC_SW_REVERSE, IDC_SW_VOLUME_LABEL, IDC_SW_EXTRACT_PASSWORD})
            EnableWindow(GetDlgItem(dlg, id), FALSE);
      } else {
        Check(dlg, IDC_SW_EXTRACT_LABEL, Bit(g_switches, Sw::ExtractVolumeLabel));
      }
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDOK: {
          for (int i = 0; i < 4; ++i) SetBit(g_switches, kCompression[i], Checked(dlg, kCompressionIds[i]));
          for (const Box& b : kBoxes) SetBit(g_switches, b.id, Checked(dlg, b.control));
          SetBit(g_switches, Sw::OverwriteExisting, Checked(dlg, IDC_SW_OVERWRITE_ALL));
          SetBit(g_switches, Sw::ExtractOnlyNewer, Checked(dlg, IDC_SW_ONLY_NEWER));
          if (d->zip)
            for (int i = 0; i < 5; ++i) SetBit(g_switches, kOrder[i], Checked(dlg, kOrderIds[i]));
          else
            SetBit(g_switches, Sw::ExtractVolumeLabel, Checked(dlg, IDC_SW_EXTRACT_LABEL));
          ConfirmSwitchesDialog(g_switches, d->zip, Writer());
          EndDialog(dlg, IDOK);
          return TRUE;
        }
        case IDC_SW_PATH_STORAGE: {
          RunDialog(dlg, "PathStorage", PathStorageDlgProc, 0);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

const int kOptionIds[7] = {IDC_OPT_COMPATIBILITY, IDC_OPT_NO_DPMI, IDC_OPT_NO_NET, IDC_OPT_NO_32BIT,
                           IDC_OPT_NO_EMS, IDC_OPT_NO_XMS, IDC_OPT_SLOW_MEMCOPY};

INT_PTR CALLBACK ZipOptionsProc(HWND dlg, UINT m, WPARAM w, LPARAM) {
  if (HelpOrCancel(dlg, m, w, kHelpZipOptions)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      PlaceDialog(dlg);
      for (int i = 0; i < 7; ++i) {
        // Read afresh through a 10-character buffer.
        char value[10] = "";
        Sw id = kZipOptionSwitches[i];
        GetPrivateProfileStringA("switches", SwitchInfo(id).key, "Off", value, sizeof value,
                                 g_dialogHost.iniPath.c_str());
        Check(dlg, kOptionIds[i], ZipOptionsBoxChecked(id, value));
      }
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDOK: {
          bool checked[7];
          for (int i = 0; i < 7; ++i) checked[i] = Checked(dlg, kOptionIds[i]);
          ConfirmZipOptions(g_switches, checked, Writer());
          EndDialog(dlg, IDOK);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK DefaultZipProc(HWND dlg, UINT m, WPARAM w, LPARAM) {
  switch (m) {
    case WM_INITDIALOG:
      PlaceDialog(dlg);
      CheckRadioButton(dlg, IDC_DEFZIP_INTERNAL, IDC_DEFZIP_DOS,
                       Bit(g_switches, Sw::UsePkzip) ? IDC_DEFZIP_DOS : IDC_DEFZIP_INTERNAL);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {
        ConfirmDefaultZip(g_switches, Checked(dlg, IDC_DEFZIP_DOS), Writer());
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (LOWORD(w) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK PasswordProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  if (HelpOrCancel(dlg, m, w, kHelpPassword)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      PlaceDialog(dlg);
      SendDlgItemMessageA(dlg, IDC_PASSWORD_EDIT, EM_LIMITTEXT, 64, 0);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDOK: {
          char text[65] = "";
          GetDlgItemTextA(dlg, IDC_PASSWORD_EDIT, text, sizeof text);
          SetArchivePassword(*reinterpret_cast<SwitchSet*>(GetWindowLongPtrA(dlg, DWLP_USER)), text);
          SecureZeroMemory(text, sizeof text);
          EndDialog(dlg, IDOK);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

// The host's directory chooser. False when nothing was chosen.
bool PickDirectory(HWND owner, std::string* dir) {
  return g_dialogHost.chooseDirectory && g_dialogHost.chooseDirectory(owner, dir);
}

struct TargetDialog {
  std::string defaultTarget;
  std::string result;
};

INT_PTR CALLBACK TargetProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* t = reinterpret_cast<TargetDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (HelpOrCancel(dlg, m, w, kHelpTarget)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      t = reinterpret_cast<TargetDialog*>(l);
      PlaceDialog(dlg);
      CheckRadioButton(dlg, IDC_TARGET_DEFAULT, IDC_TARGET_CURRENT, IDC_TARGET_DEFAULT);
      SetDlgItemTextA(dlg, IDC_TARGET_FIELD, t->defaultTarget.c_str());
      EnableWindow(GetDlgItem(dlg, IDC_TARGET_SELECT), FALSE);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDC_TARGET_DEFAULT:
          SetDlgItemTextA(dlg, IDC_TARGET_FIELD, t->defaultTarget.c_str());
          EnableWindow(GetDlgItem(dlg, IDC_TARGET_SELECT), FALSE);
          return TRUE;
        case IDC_TARGET_CURRENT:
          SetDlgItemTextA(dlg, IDC_TARGET_FIELD, CurrentDirectory().c_str());
          EnableWindow(GetDlgItem(dlg, IDC_TARGET_SELECT), TRUE);
          return TRUE;
        case IDC_TARGET_SELECT: {
          std::string dir;
          if (PickDirectory(dlg, &dir)) SetDlgItemTextA(dlg, IDC_TARGET_FIELD, dir.c_str());
          return TRUE;
        }
        case IDOK: {
          if (Checked(dlg, IDC_TARGET_DEFAULT)) {
            t->result = t->defaultTarget;
          } else {
            t->result = DlgText(dlg, IDC_TARGET_FIELD, MAX_PATH - 1);
          }
          EndDialog(dlg, IDOK);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK ConfirmProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* t = reinterpret_cast<const ConfirmTexts*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(dlg, DWLP_USER, l);
    t = reinterpret_cast<const ConfirmTexts*>(l);
    PlaceDialog(dlg);
    SetDlgItemTextA(dlg, IDC_DELETE_QUESTION, t->question.c_str());
    SetDlgItemTextA(dlg, IDC_DELETE_NAMES, t->names.c_str());
    if (GetDlgItem(dlg, IDC_FO_TARGET_DATE)) SetDlgItemTextA(dlg, IDC_FO_TARGET_DATE, t->targetDate.c_str());
    if (GetDlgItem(dlg, IDC_FO_SOURCE_DATE)) SetDlgItemTextA(dlg, IDC_FO_SOURCE_DATE, t->sourceDate.c_str());
    if (!t->action.empty()) SetDlgItemTextA(dlg, IDC_FO_ACTION, t->action.c_str());
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return TRUE;
  }
  if (t && HelpOrCancel(dlg, m, w, t->help)) return TRUE;
  if (m == WM_COMMAND) {
    switch (LOWORD(w)) {
      case IDOK:
      case IDC_DELETE_YES:
        EndDialog(dlg, IDC_DELETE_YES);
        return TRUE;
      case IDC_DELETE_YES_ALL:
      case IDC_DELETE_NO:
        EndDialog(dlg, LOWORD(w));
        return TRUE;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK NewArchiveProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* f = reinterpret_cast<const NewArchiveForm*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (f && HelpOrCancel(dlg, m, w, f->help)) return TRUE;
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      f = reinterpret_cast<const NewArchiveForm*>(l);
      if (f->title) SetWindowTextA(dlg, f->title);
      PlaceDialog(dlg);
      HWND combo = GetDlgItem(dlg, IDC_NEW_DIRECTORY);
      SendMessageA(combo, CB_LIMITTEXT, kNewArchiveFieldLimit, 0);
      if (f->fillDirectories) f->fillDirectories(combo);
      SendDlgItemMessageA(dlg, IDC_NEW_FILE_NAME, EM_LIMITTEXT, kNewArchiveFieldLimit, 0);
      CheckRadioButton(dlg, IDC_NEW_ZIP, IDC_NEW_ARJ, IDC_NEW_ZIP);
      return TRUE;
    }
    case WM_COMMAND:
      if (!f) break;
      switch (LOWORD(w)) {
        case IDC_NEW_BROWSE: {
          std::string dir;
          if (f->chooseDirectory && f->chooseDirectory(dlg, &dir)) SetDlgItemTextA(dlg, IDC_NEW_DIRECTORY, dir.c_str());
          return TRUE;
        }
        case IDC_NEW_SWITCHES:
          if (Checked(dlg, IDC_NEW_ARJ)) OpenArjSwitches(dlg);
          else OpenZipSwitches(dlg);
          return TRUE;
        case IDOK: {
          // One character more than a field takes, so that a path that is too long is seen.
          std::string dir = DlgText(dlg, IDC_NEW_DIRECTORY, kNewArchiveFieldLimit + 1);
          std::string name = DlgText(dlg, IDC_NEW_FILE_NAME, kNewArchiveFieldLimit + 1);
          ArchiveKind kind = Checked(dlg, IDC_NEW_ARJ) ? ArchiveKind::Arj : ArchiveKind::Zip;
          if (f->accept(dlg, dir, name, kind)) EndDialog(dlg, IDOK);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

// Manager's OK: the name and directory typed, the directory made when the user agrees, and an
// existing archive opened when the user agrees. True when `c` holds the choice.
bool AcceptNewArchive(HWND dlg, NewArchiveChoice* c, const std::string& dir, const std::string& name,
                      ArchiveKind kind) {
  if (name.empty()) {
    ShowStringMessage(dlg, IDS_ENTER_FILENAME);
    return false;
  }
  if (dir.empty()) {
    ShowStringMessage(dlg, IDS_NEED_DIRECTORY_NAME);
    return false;
  }
  c->kind = kind;
  NewArchiveTarget t = ResolveNewArchive(dir, name, c->kind, CurrentDirectory(), FullDirName);
  if (t.directory.size() > 2 && !DirectoryExists(t.directory)) {
    if (ShowStringMessageArg(dlg, IDS_CREATE_DIRECTORY_ASK, t.directory.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
      EndDialog(dlg, IDCANCEL);
      return false;
    }
    CreateDirectoryPath(t.directory.c_str());
  }
  c->openExisting = false;
  if (GetFileAttributesA(t.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (ShowStringMessageArg(dlg, IDS_FILE_EXISTS_OPEN_ASK, "", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
      EndDialog(dlg, IDCANCEL);
      return false;
    }
    c->openExisting = true;
  }
  c->directory = NewArchiveDirectory(t.directory);
  c->path = t.path;
  return true;
}

}  // namespace

INT_PTR OpenZipSwitches(HWND owner) {
  SwitchesDialog d{true};
  return RunDialog(owner, "ZipSwitches", SwitchesProc, reinterpret_cast<LPARAM>(&d));
}

INT_PTR OpenArjSwitches(HWND owner) {
  SwitchesDialog d{false};
  return RunDialog(owner, "ArjSwitches", SwitchesProc, reinterpret_cast<LPARAM>(&d));
}

INT_PTR OpenZipOptions(HWND owner) { return RunDialog(owner, "ZipOptions", ZipOptionsProc, 0); }

INT_PTR OpenDefaultZip(HWND owner) { return RunDialog(owner, "DefaultZIP", DefaultZipProc, 0); }

bool AskPasswordDialog(HWND owner, SwitchSet& s) {
  return RunDialog(owner, "PASSWORD", PasswordProc, reinterpret_cast<LPARAM>(&s)) != IDCANCEL;
}

bool ConfirmTargetDialog(HWND owner, const std::string& defaultTarget, std::string* target) {
  TargetDialog t{defaultTarget, defaultTarget};
  if (RunDialog(owner, "ConfirmTarget", TargetProc, reinterpret_cast<LPARAM>(&t)) == IDCANCEL) return false;
  *target = t.result;
  return true;
}

INT_PTR RunConfirmDialog(HWND owner, const char* name, const ConfirmTexts& texts) {
  HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  INT_PTR r = RunDialog(owner, name, ConfirmProc, reinterpret_cast<LPARAM>(&texts));
  SetCursor(old);
  return r;
}

DeleteAnswer ConfirmDeleteDialog(HWND owner, const std::string& question, const std::string& names) {
  ConfirmTexts texts;
  texts.question = question;
  texts.names = names;
  switch (RunConfirmDialog(owner, "ConfirmDelete", texts)) {
    case IDC_DELETE_YES:
      return DeleteAnswer::Yes;
    case IDC_DELETE_YES_ALL:
      return DeleteAnswer::YesToAll;
    case IDC_DELETE_NO:
      return DeleteAnswer::No;
    default:
      return DeleteAnswer::None;
  }
}

bool RunNewArchiveForm(HWND owner, const NewArchiveForm& form) {
  return RunDialog(owner, form.templateName, NewArchiveProc, reinterpret_cast<LPARAM>(&form)) == IDOK;
}

bool NewArchiveDialog(HWND owner, NewArchiveChoice* choice) {
  NewArchiveForm form;
  form.templateName = "NEW_ARCHIVE";
  form.help = kHelpNewArchive;
  form.fillDirectories = [choice](HWND combo) {
    for (const std::string& h : choice->history)
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(h.c_str()));
    SetWindowTextA(combo, choice->directory.c_str());
  };
  form.chooseDirectory = PickDirectory;
  form.accept = [choice](HWND dlg, const std::string& dir, const std::string& name, ArchiveKind kind) {
    return AcceptNewArchive(dlg, choice, dir, name, kind);
  };
  return RunNewArchiveForm(owner, form);
}

void ReleaseDialogObjects() {
  if (g_lightGrey) DeleteObject(g_lightGrey);
  g_lightGrey = nullptr;
}

std::string FullDirName(const std::string& dir) {
  if (dir.empty()) return "";
  std::string saved = CurrentDirectory();
  UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
  std::string full;
  if (SetCurrentDirectoryA(dir.c_str())) {
    full = CurrentDirectory();
    SetCurrentDirectoryA(saved.c_str());
  }
  SetErrorMode(mode);
  return full;
}

}  // namespace ql
