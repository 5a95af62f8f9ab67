#include "archivers/engines/engine_ui.h"

#include <commctrl.h>

#include "archivers/engines/engine_res.h"
#include "archivers/zip/options.h"

namespace qlengine {

HINSTANCE g_instance = nullptr;

namespace {

std::string ToCrLf(const std::string& s) {
  std::string out;
  out.reserve(s.size() + 8);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return out;
}

std::string ToDos(std::string s) {
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

INT_PTR CALLBACK ProgressProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      SendDlgItemMessageA(dlg, IDC_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) {
        auto* ui = reinterpret_cast<WinUi*>(GetWindowLongPtrA(dlg, DWLP_USER));
        if (ui) ui->OnCancel();
        return TRUE;
      }
      break;
    case WM_CLOSE:
      SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
      return TRUE;
  }
  return FALSE;
}

struct CommentState {
  std::string title;
  std::string text;
};

INT_PTR CALLBACK CommentProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      auto* st = reinterpret_cast<CommentState*>(lp);
      SetDlgItemTextA(dlg, IDC_TITLE, st->title.c_str());
      SendDlgItemMessageA(dlg, IDC_TEXT, EM_LIMITTEXT, 65535, 0);
      SetDlgItemTextA(dlg, IDC_TEXT, ToCrLf(st->text).c_str());
      SetFocus(GetDlgItem(dlg, IDC_TEXT));
      SendDlgItemMessageA(dlg, IDC_TEXT, EM_SETSEL, 0, -1);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        auto* st = reinterpret_cast<CommentState*>(GetWindowLongPtrA(dlg, DWLP_USER));
        int n = GetWindowTextLengthA(GetDlgItem(dlg, IDC_TEXT));
        std::string t(static_cast<size_t>(n) + 1, '\0');
        GetDlgItemTextA(dlg, IDC_TEXT, &t[0], n + 1);
        t.resize(static_cast<size_t>(n));
        st->text = t;
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK OverwriteProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dlg, IDC_QUESTION, reinterpret_cast<const char*>(lp));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDYES: case IDNO: case IDCANCEL: case IDC_YESALL:
          EndDialog(dlg, LOWORD(wp));
          return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK PasswordProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      SendDlgItemMessageA(dlg, IDC_PASSWORD, EM_LIMITTEXT, 64, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        char buf[80] = "";
        GetDlgItemTextA(dlg, IDC_PASSWORD, buf, sizeof buf);
        *reinterpret_cast<std::string*>(GetWindowLongPtrA(dlg, DWLP_USER)) = buf;
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

WinUi::WinUi(HWND owner, bool quiet, const char* caption) : owner_(owner), caption_(caption) {
  if (owner_ && !IsWindow(owner_)) owner_ = nullptr;
  if (owner_) {
    // While the engine works only its own windows take input, as with a modal dialog.
    root_ = GetAncestor(owner_, GA_ROOT);
    rootWasEnabled_ = root_ && IsWindowEnabled(root_);
  }
  if (!quiet) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    dlg_ = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_QLPROGRESS), owner_, ProgressProc,
                              reinterpret_cast<LPARAM>(this));
    if (dlg_) {
      SetWindowTextA(dlg_, caption_.c_str());
      ShowWindow(dlg_, SW_SHOW);
      UpdateWindow(dlg_);
    }
  }
  if (rootWasEnabled_) EnableWindow(root_, FALSE);
}

WinUi::~WinUi() {
  if (rootWasEnabled_) EnableWindow(root_, TRUE);
  if (dlg_) DestroyWindow(dlg_);
  if (owner_ && IsWindow(owner_)) SetActiveWindow(root_ ? root_ : owner_);
}

HWND WinUi::DialogOwner() const { return dlg_ ? dlg_ : owner_; }

void WinUi::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      cancelled_ = true;
      break;
    }
    if (dlg_ && IsDialogMessageA(dlg_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void WinUi::Line(const std::string&) {}

void WinUi::Error(const std::string& text) { errors_.push_back(ToDos(text)); }

void WinUi::Progress(const std::string& verb, const std::string& name, uint64_t done, uint64_t total) {
  if (!dlg_) return;
  // A window update is a good many calls into the system: at most one every 40 ms, so that
  // many small members cost no more than a few large ones.
  DWORD now = GetTickCount();
  if (now - lastPump_ < 40) return;
  lastPump_ = now;
  if (name != lastName_) {
    lastName_ = name;
    SetDlgItemTextA(dlg_, IDC_VERB, (verb + ":").c_str());
    SetDlgItemTextA(dlg_, IDC_NAME, ToDos(name).c_str());
  }
  int permille = total ? static_cast<int>(done * 1000 / total) : 0;
  SendDlgItemMessageA(dlg_, IDC_BAR, PBM_SETPOS, static_cast<WPARAM>(permille), 0);
  char pct[16];
  wsprintfA(pct, "%d%%", permille / 10);
  SetDlgItemTextA(dlg_, IDC_PERCENT, pct);
  Pump();
}

bool WinUi::Cancelled() {
  if (dlg_) {
    DWORD now = GetTickCount();
    if (now - lastPump_ >= 40) {
      lastPump_ = now;
      Pump();
    }
  }
  return cancelled_;
}

void WinUi::OnCancel() {
  cancelled_ = true;
  if (dlg_) {
    EnableWindow(GetDlgItem(dlg_, IDCANCEL), FALSE);
    SetDlgItemTextA(dlg_, IDC_VERB, "Cancelling...");
  }
}

bool WinUi::EditComment(const std::string& title, std::string& text) {
  CommentState st{ToDos(title), text};
  INT_PTR r = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_QLCOMMENT), DialogOwner(), CommentProc,
                              reinterpret_cast<LPARAM>(&st));
  if (r != IDOK) return false;
  text = st.text;
  return true;
}

qlzip::Ui::Answer WinUi::AskOverwrite(const std::string& path) {
  std::string q = ToDos(path) + " already exists.\nDo you want to replace it?";
  INT_PTR r = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_QLOVERWRITE), DialogOwner(), OverwriteProc,
                              reinterpret_cast<LPARAM>(q.c_str()));
  if (r == -1) r = MessageBoxA(DialogOwner(), q.c_str(), caption_.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION | MB_TASKMODAL);
  return r == IDYES ? kYes : r == IDC_YESALL ? kAll : r == IDNO ? kNo : kAbort;
}

bool WinUi::AskPassword(std::string& password) {
  std::string pw;
  INT_PTR r = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_QLPASSWORD), DialogOwner(), PasswordProc,
                              reinterpret_cast<LPARAM>(&pw));
  if (r != IDOK || pw.empty()) return false;
  password = pw;
  return true;
}

void WinUi::Report() {
  if (errors_.empty()) return;
  std::string text;
  size_t shown = 0;
  for (const auto& e : errors_) {
    if (++shown > 20) {
      text += "...\n";
      break;
    }
    text += e + "\n";
  }
  if (dlg_) ShowWindow(dlg_, SW_HIDE);
  MessageBoxA(owner_, text.c_str(), caption_.c_str(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

int RunZipEngine(HWND owner, const char* args, DWORD cookie) {
  if (cookie != kEngineCookie || !args) return qlzip::kZipBadParams;
  qlzip::ZipArgs za = qlzip::ParseZipArgs(qlzip::SplitEngineString(args));
  auto host = qlzip::MakeHost();
  WinUi ui(owner, za.quiet, "Quillon Zip");
  int r = qlzip::RunZip(za, *host, ui);
  ui.Report();
  return r;
}

int RunUnzipEngine(HWND owner, const char* args, DWORD cookie) {
  if (cookie != kEngineCookie || !args) return qlzip::kUnzipBadParams;
  qlzip::UnzipArgs ua = qlzip::ParseUnzipArgs(qlzip::SplitEngineString(args));
  auto host = qlzip::MakeHost();
  WinUi ui(owner, ua.quiet, "Quillon Unzip");
  int r = qlzip::RunUnzip(ua, *host, ui);
  ui.Report();
  return r;
}

}  // namespace qlengine
