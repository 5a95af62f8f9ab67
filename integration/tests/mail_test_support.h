// The stand-in mail provider registered as the prefix's mail client for the length of a test, and
// its call log.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qltest {

// Makes the stand-in (QL_STANDIN_DIR/qlmailstandin.dll) the mail client that mapi32 picks when it
// loads, and writes its log to `log`; the previous client and environment come back at the end.
class StandInMailClient {
 public:
  explicit StandInMailClient(const std::string& log, bool refuseLogon = false);
  ~StandInMailClient();
  StandInMailClient(const StandInMailClient&) = delete;
  StandInMailClient& operator=(const StandInMailClient&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  bool hadClient_ = false;
  std::string previousClient_;
};

// The log's lines, without line ends.
std::vector<std::string> LogLines(const std::string& path);

// The calls of a log: each line's first word (Logon, SendMail, FindNext ...).
std::vector<std::string> LoggedCalls(const std::string& path);

// A window handle as the stand-in logs it.
std::string HexHandle(HWND h);

}  // namespace qltest
