// Test helper: answers message boxes of one thread from a helper thread, as a user would, and
// keeps their texts.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ql {

class BoxAnswerer {
 public:
  explicit BoxAnswerer(DWORD threadId, int button = IDOK) : thread_(threadId), button_(button) {
    worker_ = std::thread([this] { Run(); });
  }
  ~BoxAnswerer() {
    stop_ = true;
    worker_.join();
  }
  std::vector<std::string> Texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }

 private:
  static BOOL CALLBACK FindBox(HWND hwnd, LPARAM lp) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    // An engine's progress window is a dialog too, but nothing a user answers: pressing its
    // buttons would cancel the work, and waiting for it to go would miss the boxes it raises.
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd) &&
        !FindWindowExA(hwnd, nullptr, "msctls_progress32", nullptr)) {
      *reinterpret_cast<HWND*>(lp) = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  // The text of a box: its last static control with text (the icon is a static without).
  static std::string BoxText(HWND box) {
    std::string text;
    for (HWND c = FindWindowExA(box, nullptr, "Static", nullptr); c; c = FindWindowExA(box, c, "Static", nullptr)) {
      char buf[1024] = "";
      GetWindowTextA(c, buf, sizeof buf);
      if (buf[0]) text = buf;
    }
    return text;
  }
  void Run() {
    while (!stop_) {
      HWND box = nullptr;
      EnumThreadWindows(thread_, FindBox, reinterpret_cast<LPARAM>(&box));
      if (box) {
        std::string text = BoxText(box);
        {
          std::lock_guard<std::mutex> lock(mutex_);
          texts_.push_back(text);
        }
        PostMessageA(box, WM_COMMAND, button_, 0);
        // Answer each box once: wait until it has gone.
        while (!stop_ && IsWindow(box) && IsWindowVisible(box)) Sleep(5);
      }
      Sleep(5);
    }
  }
  DWORD thread_;
  int button_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> texts_;
  std::thread worker_;
};

}  // namespace ql
