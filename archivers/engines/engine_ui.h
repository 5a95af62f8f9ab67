// The windowed side of the engine libraries: progress window, comment and password dialogs,
// questions and the closing report, all owned by the window Quillon hands in.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "archivers/zip/ops.h"

namespace qlengine {

extern HINSTANCE g_instance;

// The value Quillon passes as the third argument of both entry points.
constexpr DWORD kEngineCookie = 0x3B9A5E;

class WinUi : public qlzip::Ui {
 public:
  WinUi(HWND owner, bool quiet, const char* caption);
  ~WinUi() override;
  // Shows the warnings and errors collected, if any, in one message box.
  void Report();

  void Line(const std::string& text) override;
  void Error(const std::string& text) override;
  void Progress(const std::string& verb, const std::string& name, uint64_t done, uint64_t total) override;
  bool Cancelled() override;
  bool EditComment(const std::string& title, std::string& text) override;
  Answer AskOverwrite(const std::string& path) override;
  bool AskPassword(std::string& password) override;

  void OnCancel();

 private:
  void Pump();
  HWND DialogOwner() const;

  HWND owner_;
  HWND root_ = nullptr;     // top-level window disabled while the engine works
  bool rootWasEnabled_ = false;
  HWND dlg_ = nullptr;
  bool cancelled_ = false;
  DWORD lastPump_ = 0;
  std::string caption_;
  std::string lastName_;
  std::vector<std::string> errors_;
};

// Runs one engine call: parses the "|"-string and runs the operation with a WinUi.
int RunZipEngine(HWND owner, const char* args, DWORD cookie);
int RunUnzipEngine(HWND owner, const char* args, DWORD cookie);

}  // namespace qlengine
