// Helpers for tests that drive Quillon's windows under Wine: pumping until a condition holds, finding
// windows of one thread or process (never globally), and a watcher that answers message boxes and
// dialogs the way a user would while recording what they said.
#pragma once
#include <windows.h>

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace qltest {

// Dispatches this thread's messages until `done` holds or `timeoutMs` passes; the result of `done`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Waits (without pumping) until `done` holds, checking whenever `timeoutMs` allows; for other
// processes' state.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// For a person to look at: with QL_SHOT_DIR set, the test waits (at most a minute) while a script
// outside (app/tests/snapshots.sh) takes a picture of the display: it sees NAME.ready and answers
// with NAME.done. Without QL_SHOT_DIR, nothing.
void Snapshot(const char* name);

// The first visible top-level window of a thread or process with this class (and title, when given).
HWND FindThreadWindow(DWORD threadId, const char* className, const char* title = nullptr);
HWND FindProcessWindow(DWORD processId, const char* className, const char* title = nullptr);

std::string WindowText(HWND h);
std::string ClassOf(HWND h);

// What the watcher saw: the caption, the texts of the static controls, the owner window, the icon
// shown (a message box's MB_ICON...; null without one) and the button it pressed.
struct SeenDialog {
  std::string title;
  std::string text;
  HWND owner = nullptr;
  HICON icon = nullptr;
  int pressed = 0;
};

// Chooses the button for a dialog; 0 leaves it alone.
using DialogAnswer = std::function<int(HWND dialog, const SeenDialog& seen)>;

// Presses OK, else Yes, else Cancel: the user who accepts what is offered.
int PressDefault(HWND dialog, const SeenDialog& seen);

// Presses `button` in every dialog but a progress window (one with a progress bar), which no user
// answers: pressing its buttons would cancel the work.
DialogAnswer PressInBoxes(int button = IDOK);

// The texts of the dialogs seen, in order.
std::vector<std::string> TextsOf(const std::vector<SeenDialog>& seen);

// Watches the dialogs (class #32770) of one thread, or of one process, from a thread of its own.
class DialogWatcher {
 public:
  static constexpr DWORD kAnyThread = 0;
  DialogWatcher(DWORD processId, DWORD threadId, DialogAnswer answer = PressDefault);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  // Watches the calling thread.
  static DWORD ThisThread() { return GetCurrentThreadId(); }

  std::vector<SeenDialog> Seen();
  // Waits until `count` dialogs were answered.
  bool WaitForAnswers(size_t count, DWORD timeoutMs = 10000);

 private:
  void Run();
  void Visit(HWND dialog);
  static BOOL CALLBACK Enumerate(HWND h, LPARAM self);

  DWORD processId_;
  DWORD threadId_;
  DialogAnswer answer_;
  HANDLE stop_;
  std::mutex mutex_;
  std::vector<SeenDialog> seen_;
  std::set<HWND> answered_;
  std::thread thread_;
};

// A directory of its own under the temporary directory, removed with everything in it at the end.
class TempDir {
 public:
  explicit TempDir(const char* prefix = "qltest");
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// This test process's id, with the Wine session it runs in when there are several: names under the
// build tree (drive Z:, shared by every session) stay apart although each wineserver counts its
// process ids from the same start.
inline std::string ProcessTag() {
  char session[16] = "";
  std::string tag = std::to_string(GetCurrentProcessId());
  if (GetEnvironmentVariableA("QL_WINE_SESSION", session, sizeof session) && session[0] != '0')
    tag += std::string("s") + session;
  return tag;
}

bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
// The contents of DIR\NAME, a name the ANSI code page may not hold ("<missing>" when it is not
// there); DIR is plain ASCII.
std::string ReadWideNamedFile(const std::string& dir, const wchar_t* name);
bool FileExists(const std::string& path);
std::string CurrentDirectory();

// The host's own programs (Debian's unzip, zip and arj) on files of drive Z:.
// "/a/b" (a build-tree path) with backslashes, for Windows.
std::string FromUnix(std::string path);
// "Z:\a\b" as the host sees it: "/a/b".
std::string HostPath(std::string path);
// Runs a shell command of the host and returns its exit status, or -1. Wine starts Unix programs
// detached, without a process to wait for, so the command leaves its status in `statusFile`
// (written under a temporary name and renamed when complete) and we wait for that file.
int RunHost(const std::string& hostCommand, const std::string& statusFile);

// The current directory of another (32-bit) process, read from its process parameters; empty when
// it cannot be read.
std::string ProcessCurrentDirectory(HANDLE process);

// A running process of the program under test.
struct Process {
  HANDLE process = nullptr;
  DWORD id = 0;
  DWORD threadId = 0;
  ~Process();
  bool Start(const std::string& exe, const std::string& arguments, const std::string& directory);
  // Waits for the end; the exit code, or -1 on timeout.
  long Wait(DWORD timeoutMs = 20000);
  bool Running();
};

}  // namespace qltest
