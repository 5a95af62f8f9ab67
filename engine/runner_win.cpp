#include "engine/runner_win.h"

#include <vector>

#include "common/dialog_kit_win.h"
#include "common/shared_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

bool g_waiting = false;
int g_lastEngineResult = 0;

void ShowWithPath(HWND owner, UINT id, const std::string& arg) {
  ShowStringMessageArg(owner, id, arg.c_str(), MB_OK | MB_ICONEXCLAMATION);
}


}  // namespace

EnginePaths EnginePathsOf(const RunnerSetup& setup) { return EnginePaths{setup.programDir, setup.workDir}; }

bool ArchiverBusy() { return g_waiting; }

bool ReadRunnerExitCode(const char* workDir, unsigned long* code) {
  const std::string path = CmndexitPath(workDir ? workDir : "");
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char buf[32];
  DWORD got = 0;
  const bool read = ReadFile(h, buf, sizeof buf, &got, nullptr) != FALSE;
  CloseHandle(h);
  return read && ParseRunnerExitCode(std::string(buf, got), code);
}

bool WriteWholeFile(const std::string& path, const std::string& content) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = content.empty() ||
            (WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
             written == content.size());
  CloseHandle(h);
  return ok;
}

namespace {

// Writes cmndargs, starts the runner with `line` and waits until it has deleted cmndargs or its
// process has ended, at least `minimumWaitMs`. `runnerDir`: the runner's own current directory
// (null: this process's).
RunResult StartRunnerAndWait(const RunnerSetup& setup, const std::string& command, const std::string& line,
                             WORD showState, DWORD creationFlags, const char* runnerDir, DWORD minimumWaitMs) {
  // One runner at a time: a second command would overwrite the first one's cmndargs.
  if (g_waiting) {
    MessageBeep(MB_ICONEXCLAMATION);
    return RunResult::Busy;
  }
  std::string cmndargs = CmndargsPath(setup.workDir);
  if (!WriteWholeFile(cmndargs, command)) {
    ShowWithPath(setup.owner, IDS_ARCHIVE_NOT_CREATED, cmndargs);
    return RunResult::NotCreated;
  }

  // An exit code left by an earlier command must not pass for this one's, whatever runner runs.
  DeleteFileA(CmndexitPath(setup.workDir).c_str());
  SetEnvironmentVariableA("QLWORK", CurrentDirectory().substr(0, 256).c_str());

  // Started with CreateProcess rather than WinExec, so that the wait can watch the process.
  ProcessStart how;
  how.directory = runnerDir;
  how.show = showState;
  how.flags = creationFlags;
  HANDLE process = StartProcess(line, how);
  if (!process) {
    SetEnvironmentVariableA("QLWORK", nullptr);
    DeleteFileA(cmndargs.c_str());
    ShowWithPath(setup.owner, IDS_FILE_MISSING, setup.runnerPath);
    return RunResult::NotStarted;
  }
  g_waiting = true;

  // The runner signals completion by deleting cmndargs: watch the work directory's names, the
  // runner's process and the message queue. A slow poll stays as a safety net for file systems
  // that give no change notifications.
  HANDLE change = FindFirstChangeNotificationA(WorkNoSlash(setup.workDir).c_str(), FALSE,
                                               FILE_NOTIFY_CHANGE_FILE_NAME);
  const DWORD start = GetTickCount();
  RunResult result = RunResult::Done;
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    bool firstWaitOver = elapsed >= minimumWaitMs;
    if (firstWaitOver) {
      if (!PathExists(cmndargs)) break;
      if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
        if (PathExists(cmndargs)) {
          // The runner died without finishing: don't wait for it any longer, and don't leave
          // its command behind for the next runner.
          DeleteFileA(cmndargs.c_str());
          result = RunResult::RunnerEnded;
        }
        break;
      }
    }
    HANDLE handles[2];
    DWORD count = 0;
    if (firstWaitOver) {
      handles[count++] = process;
      if (change != INVALID_HANDLE_VALUE) handles[count++] = change;
    }
    DWORD timeout = firstWaitOver ? 250 : minimumWaitMs - elapsed;
    DWORD r = MsgWaitForMultipleObjects(count, count ? handles : nullptr, FALSE, timeout,
                                        QS_ALLINPUT);
    if (change != INVALID_HANDLE_VALUE && count == 2 && r == WAIT_OBJECT_0 + 1)
      FindNextChangeNotification(change);
    if (!PumpWaitingMessages(setup)) break;
  }
  if (change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change);
  CloseHandle(process);
  g_waiting = false;
  SetEnvironmentVariableA("QLWORK", nullptr);
  return result;
}

}  // namespace

RunResult RunArchiver(const RunnerSetup& setup, const std::string& command, bool showWindow,
                      bool viewMode) {
  std::string line = RunnerCommandLine(setup.runnerPath, setup.workDir, showWindow, viewMode);
  // The runner works in the folder QLWORK names; its own current directory is the work directory,
  // so that it holds no folder the caller may remove or rename once the command has ended (the
  // runner may still be waiting for a key then, or just ending).
  std::string workDir = WorkNoSlash(setup.workDir);
  return StartRunnerAndWait(setup, command, line, showWindow ? SW_SHOW : SW_SHOWMINIMIZED, 0, workDir.c_str(),
                            setup.minimumWaitMs);
}

RunResult RunVirusDetector(const RunnerSetup& setup, const std::string& command, DWORD minimumWaitMs) {
  std::string line = VirusRunnerCommandLine(setup.runnerPath, setup.workDir);
  std::string workDir = WorkNoSlash(setup.workDir);
  return StartRunnerAndWait(setup, command, line, SW_SHOW, CREATE_NEW_CONSOLE, workDir.c_str(),
                            minimumWaitMs);
}

namespace {

typedef int(WINAPI* ZipEntry)(HWND owner, LPSTR args, DWORD cookie, int shortNames);
typedef int(WINAPI* UnzipEntry)(HWND owner, LPSTR args, DWORD cookie);

RunResult CallEngine(const RunnerSetup& setup, const std::string& args, const char* library,
                     const char* entry) {
  std::string path = ProgramFile(setup.programDir, library);
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    ShowWithPath(setup.owner, IDS_CANNOT_LOAD_LIBRARY, library);
    return RunResult::NoLibrary;
  }
  FARPROC proc = GetProcAddress(module, entry);
  if (!proc) {
    FreeLibrary(module);
    ShowWithPath(setup.owner, IDS_CANNOT_FIND_FUNCTION, library);
    return RunResult::NoEntryPoint;
  }
  std::vector<char> buf(args.begin(), args.end());
  buf.push_back('\0');
  if (std::string(entry) == "zip")
    g_lastEngineResult = reinterpret_cast<ZipEntry>(reinterpret_cast<void*>(proc))(setup.owner, buf.data(),
                                                               kEngineCookie,
                                                               setup.shortNameDisplay);
  else
    g_lastEngineResult = reinterpret_cast<UnzipEntry>(reinterpret_cast<void*>(proc))(setup.owner, buf.data(),
                                                                 kEngineCookie);
  FreeLibrary(module);
  return RunResult::Done;
}

}  // namespace

int LastEngineResult() { return g_lastEngineResult; }

RunResult CallZipEngine(const RunnerSetup& setup, const std::string& args) {
  return CallEngine(setup, args, "QL53NTI2.DLL", "zip");
}

RunResult CallUnzipEngine(const RunnerSetup& setup, const std::string& args) {
  return CallEngine(setup, args, "QL53NTI1.DLL", "unzip");
}

RunResult RunCommand(const RunnerSetup& setup, const Command& cmd) {
  if (cmd.message) {
    ShowStringMessage(setup.owner, static_cast<UINT>(cmd.message));
    return RunResult::Refused;
  }
  if (cmd.text.empty()) return RunResult::Done;
  // While a runner is awaited its list file and command file are in use: run nothing else.
  if (g_waiting) {
    MessageBeep(MB_ICONEXCLAMATION);
    return RunResult::Busy;
  }
  if (cmd.writeList) {
    std::string list = ListFilePath(setup.workDir);
    if (!WriteWholeFile(list, cmd.listFile)) {
      ShowWithPath(setup.owner, IDS_ARCHIVE_NOT_CREATED, list);
      return RunResult::NotCreated;
    }
  }
  std::string saved = CurrentDirectory();
  if (!cmd.currentDir.empty() && SetCurrentDirAndDrive(cmd.currentDir.c_str())) {
    // Archivers add from and extract into the current directory: never run one elsewhere.
    MessageBeep(MB_ICONEXCLAMATION);
    return RunResult::NoDirectory;
  }
  RunResult r;
  switch (cmd.via) {
    case Via::ZipEngine: r = CallZipEngine(setup, cmd.text); break;
    case Via::UnzipEngine: r = CallUnzipEngine(setup, cmd.text); break;
    default: r = RunArchiver(setup, cmd.text, cmd.showWindow, cmd.viewMode); break;
  }
  SetCurrentDirAndDrive(saved.c_str());
  return r;
}

bool PumpWaitingMessages(const RunnerSetup& setup) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (setup.translateAccelerators && setup.translateAccelerators(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace ql
