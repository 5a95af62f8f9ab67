// A small MDI frame for driving browser windows in-process, and file helpers.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "browser/browser_win.h"

namespace qlbrowsertest {

// Texts written to the status panes, by pane id.
extern std::map<int, std::string> g_panes;
// Commands the test frame received, in order.
extern std::vector<WORD> g_frameCommands;

// A frame window with an MDI client, set up as the browser windows' host.
class TestFrame {
 public:
  TestFrame(int width = 900, int height = 600);
  ~TestFrame();
  HWND frame() const { return frame_; }
  HWND client() const { return client_; }
  // Destroys every browser window.
  void CloseAll();

 private:
  HWND frame_ = nullptr;
  HWND client_ = nullptr;
};

// A directory of its own under the temporary directory, removed at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool CopyFixture(const char* name, const std::string& to);
// Sets a file's last-write time to a local calendar time.
bool SetLocalWriteTime(const std::string& path, int year, int month, int day, int hour, int minute);
// Runs the thread's messages that are waiting now.
void Drain();

// The lines of a list with the drive lines left out.
std::vector<std::string> NonDriveLines(HWND list);
std::vector<std::string> FirstFields(const std::vector<std::string>& lines);

}  // namespace qlbrowsertest
