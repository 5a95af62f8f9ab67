// Running archiver commands: through the runner program (a DOS command line in `cmndargs`) or
// through the in-process zip and unzip engine libraries.
#pragma once
#include <windows.h>

#include <string>

#include "engine/commands.h"

namespace ql {

// What the runner and engine calls need from the settings and the frame. The settings record
// fills it; tests fill it with a test program directory.
struct RunnerSetup {
  std::string runnerPath;   // the runner, `RunnerPath` of the settings (short form)
  std::string programDir;   // where the engine libraries are
  std::string workDir;      // the work directory (with or without a trailing "\")
  HWND owner = nullptr;     // owner of messages and of the engines' windows
  int shortNameDisplay = 0; // `ShortNameDisplay`, the fourth argument of `zip`
  // `TranslateAppAccelerators`: offered every message of the wait first; true when consumed.
  bool (*translateAccelerators)(MSG* msg) = nullptr;
  // The shortest wait of `RunArchiver`: a runner that finishes at once still shows its window
  // for this long. Tests that run many commands set 0.
  DWORD minimumWaitMs = 1000;
};

// The program and work directories the command builders name.
EnginePaths EnginePathsOf(const RunnerSetup& setup);

enum class RunResult {
  Done,          // the runner finished (deleted cmndargs) or the engine returned
  RunnerEnded,   // the runner process ended without deleting cmndargs
  NotCreated,    // cmndargs or ql5files could not be written (string 3006 shown)
  NotStarted,    // the runner could not be started (string 3031 shown)
  Busy,          // another runner is still awaited: nothing was run
  NoLibrary,     // engine library missing (string 3057 shown)
  NoEntryPoint,  // engine entry point missing (string 3058 shown)
  Refused,       // the command carried a refusal (its string shown)
  NoDirectory,   // the command's directory could not be made current: nothing was run
};

// Writes `command` into cmndargs, starts the runner on the work directory (" -T" when
// `viewMode`, " -B" and minimised unless `showWindow`) with QLWORK set to the current directory,
// and waits, keeping the interface live, until the runner has deleted cmndargs or its process has
// ended. The wait lasts at least `setup.minimumWaitMs`.
RunResult RunArchiver(const RunnerSetup& setup, const std::string& command, bool showWindow,
                      bool viewMode = false);

// Takes every waiting message: accelerators first, then translate and dispatch. A quit request
// is put back for the main loop, and the answer is false: the program is quitting.
bool PumpWaitingMessages(const RunnerSetup& setup);

// The runner's virus mode: `command`, a virus detector's command line, goes into cmndargs and
// the runner is started on the work directory with " -V", in a normal window with a console of
// its own (the detector's report stays there until a key is pressed). The runner's own current
// directory is the work directory, so that the directory the detector scanned (QLWORK) is free
// once the detector has ended. The wait is RunArchiver's and lasts at least `minimumWaitMs`.
RunResult RunVirusDetector(const RunnerSetup& setup, const std::string& command, DWORD minimumWaitMs);

// The exit code the runner left in the work directory's cmndexit for the command it ran last;
// false when there is none (the runner could not read its command, or was not the real one) or
// it cannot be read. Read it after `RunArchiver` returned Done.
bool ReadRunnerExitCode(const char* workDir, unsigned long* code);

// True while `RunArchiver` waits.
bool ArchiverBusy();

// `EngineCookie`, the third argument of both engine entry points.
constexpr DWORD kEngineCookie = 0x3B9A5E;

// Loads QL53NTI2.DLL (zip) or QL53NTI1.DLL (unzip) from the program directory, calls its entry
// point with the argument string, and releases it.
RunResult CallZipEngine(const RunnerSetup& setup, const std::string& args);
RunResult CallUnzipEngine(const RunnerSetup& setup, const std::string& args);

// The value the last call of an engine entry point returned (0: done without error).
int LastEngineResult();

// Carries out a built command: shows its refusal message, or writes ql5files, makes its
// directory current, runs it through the runner or an engine, and restores the current
// directory it found.
RunResult RunCommand(const RunnerSetup& setup, const Command& cmd);

// Writes a file whole (ql5files, cmndargs); false when it cannot be created or written.
bool WriteWholeFile(const std::string& path, const std::string& content);

}  // namespace ql
