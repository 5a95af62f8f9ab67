#include "integration/tests/mail_test_support.h"

#include <cstdio>
#include <sstream>

#include "tests/support/win_test_support.h"

namespace qltest {

namespace {

constexpr const char* kClients = "Software\\Clients\\Mail";
constexpr const char* kClientName = "Quillon Test Mail";

std::string StandInPath() {
  std::string path = std::string(QL_STANDIN_DIR) + "/qlmailstandin.dll";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

StandInMailClient::StandInMailClient(const std::string& log, bool refuseLogon) {
  HKEY clients;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kClients, &clients) != ERROR_SUCCESS) return;
  char previous[256] = "";
  DWORD size = sizeof previous, type = 0;
  hadClient_ = RegQueryValueExA(clients, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(previous), &size) ==
                   ERROR_SUCCESS && type == REG_SZ;
  if (hadClient_) previousClient_ = previous;
  HKEY client;
  std::string dll = StandInPath();
  ok_ = RegCreateKeyA(clients, kClientName, &client) == ERROR_SUCCESS;
  if (ok_) {
    ok_ = RegSetValueExA(client, "DLLPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                         static_cast<DWORD>(dll.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(client);
  }
  ok_ = ok_ && RegSetValueExA(clients, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kClientName),
                              static_cast<DWORD>(strlen(kClientName) + 1)) == ERROR_SUCCESS;
  RegCloseKey(clients);
  ok_ = ok_ && FileExists(dll);
  SetEnvironmentVariableA("QL_MAIL_LOG", log.c_str());
  SetEnvironmentVariableA("QL_MAIL_REFUSE_LOGON", refuseLogon ? "1" : nullptr);
}

StandInMailClient::~StandInMailClient() {
  HKEY clients;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kClients, &clients) == ERROR_SUCCESS) {
    if (hadClient_)
      RegSetValueExA(clients, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(previousClient_.c_str()),
                     static_cast<DWORD>(previousClient_.size() + 1));
    else
      RegDeleteValueA(clients, nullptr);
    RegDeleteKeyA(clients, kClientName);
    RegCloseKey(clients);
  }
  SetEnvironmentVariableA("QL_MAIL_LOG", nullptr);
  SetEnvironmentVariableA("QL_MAIL_REFUSE_LOGON", nullptr);
}

std::vector<std::string> LogLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadTextFile(path));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> LoggedCalls(const std::string& path) {
  std::vector<std::string> calls;
  for (const std::string& line : LogLines(path)) calls.push_back(line.substr(0, line.find(' ')));
  return calls;
}

std::string HexHandle(HWND h) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(h)));
  return buf;
}

}  // namespace qltest
