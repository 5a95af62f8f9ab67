// qlkbdtrp.exe, Quillon's runner: reads one command line from <work directory>\cmndargs, runs it in a
// console titled "Quillon Command Shell" with the directory named by QLWORK current, and deletes
// cmndargs when the command has ended (Quillon waits for that). Just before, it leaves the command's
// exit code in <work directory>\cmndexit (decimal, CR LF) for the operations that must know whether
// the archiver succeeded; a cmndexit left by an earlier run is removed first. -B: minimised and no pause for a key.
// -V: a virus detector runs; its report is always left on screen until a key is pressed. -T: a member
// is being viewed; the viewer's window is the user's, so there is no pause.
#include <windows.h>

#include <cstdio>
#include <string>

#include "archivers/runner/runner_args.h"

namespace {

bool ReadCommand(const std::string& path, std::string* command) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char buf[4096];
  DWORD got = 0;
  command->clear();
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) command->append(buf, got);
  CloseHandle(f);
  while (!command->empty() && (command->back() == '\r' || command->back() == '\n' || command->back() == '\0'))
    command->pop_back();
  return true;
}

// Writes cmndexit whole: under a temporary name first, so that a reader never sees half of it.
bool WriteExitFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".$$$";
  HANDLE f = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  if (!CloseHandle(f)) ok = false;
  if (ok) ok = MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
  if (!ok) DeleteFileA(temp.c_str());
  return ok;
}

// Runs `command` and waits for it; when it cannot be started as a program, the command interpreter
// gets it (built-in commands, batch files). Returns the exit code, or -1 when nothing could start.
long RunAndWait(const std::string& command, const char* directory) {
  std::string attempts[2] = {command, ""};
  char comspec[MAX_PATH + 1] = "";
  DWORD n = GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
  attempts[1] = std::string(n > 0 && n < sizeof comspec ? comspec : "cmd.exe") + " /c " + command;
  for (std::string& line : attempts) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, directory, &si, &pi)) continue;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<long>(code);
  }
  return -1;
}

// The keyboard of the console, emptied of keys typed while the command ran; null without a console.
HANDLE KeyboardForPause() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (in == INVALID_HANDLE_VALUE || !GetConsoleMode(in, &mode)) return nullptr;
  FlushConsoleInputBuffer(in);
  return in;
}

void WaitForKey(HANDLE in) {
  printf("\nPress any key to return to Quillon...");
  fflush(stdout);
  for (;;) {
    INPUT_RECORD rec;
    DWORD read = 0;
    if (!ReadConsoleInputA(in, &rec, 1, &read) || read == 0) return;
    if (rec.EventType == KEY_EVENT && rec.Event.KeyEvent.bKeyDown) return;
  }
}

}  // namespace

int main() {
  ql::RunnerArgs args = ql::ParseRunnerArgs(ql::CommandLineTail(GetCommandLineA()));
  SetConsoleTitleA("Quillon Command Shell");
  if (args.batch) {
    HWND console = GetConsoleWindow();
    if (console) ShowWindow(console, SW_MINIMIZE);
  }
  if (args.workDirectory.empty()) {
    fprintf(stderr, "usage: qlkbdtrp <work directory> [-B] [-V] [-T]\n");
    return 2;
  }
  const std::string commandFile = ql::CommandFilePath(args.workDirectory);
  const std::string exitFile = ql::ExitFilePath(args.workDirectory);
  DeleteFileA(exitFile.c_str());
  std::string command;
  if (!ReadCommand(commandFile, &command)) {
    fprintf(stderr, "qlkbdtrp: cannot read %s\n", commandFile.c_str());
    return 2;
  }

  char work[MAX_PATH + 1] = "";
  DWORD n = GetEnvironmentVariableA("QLWORK", work, sizeof work);
  const char* directory = n > 0 && n < sizeof work ? work : nullptr;
  printf("%s\n", command.c_str());
  fflush(stdout);
  long code = command.empty() ? 0 : RunAndWait(command, directory);
  if (code == -1) fprintf(stderr, "qlkbdtrp: cannot run %s\n", command.c_str());

  // Quillon's wait ends here; the console stays for the user to read when a pause is due.
  bool pause = args.virusScan || (!args.batch && !args.view);
  HANDLE keyboard = pause ? KeyboardForPause() : nullptr;
  // A command that could not be started at all counts as failed (1), like the runner itself.
  const unsigned long status = code == -1 ? 1ul : static_cast<unsigned long>(code);
  if (!WriteExitFile(exitFile, ql::ExitFileText(status)))
    fprintf(stderr, "qlkbdtrp: cannot write %s\n", exitFile.c_str());
  DeleteFileA(commandFile.c_str());
  if (keyboard) WaitForKey(keyboard);
  return static_cast<int>(status);
}
