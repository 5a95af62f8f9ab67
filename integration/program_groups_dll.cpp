// QL5DINTL.DLL: Program Manager groups and items for Quillon, as a DDE client of the shell's
// "PROGMAN" service. Ordinal 100 creates a group, ordinal 103 adds an item to the current group;
// both return 1 when the shell accepted the command and 0 otherwise.
#include <windows.h>
#include <ddeml.h>

#include "integration/progman_commands.h"

namespace {

HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// Sends one command text in a conversation of its own; true when the server acknowledged it.
bool SendProgmanCommand(bool made, const char* command) {
  if (!made) return false;
  DWORD instance = 0;
  if (DdeInitializeA(&instance, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
  bool done = false;
  HSZ service = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  if (service) {
    if (HCONV conversation = DdeConnect(instance, service, service, nullptr)) {
      DWORD result = 0;
      HDDEDATA answer = DdeClientTransaction(
          reinterpret_cast<BYTE*>(const_cast<char*>(command)), static_cast<DWORD>(lstrlenA(command) + 1),
          conversation, nullptr, CF_TEXT, XTYP_EXECUTE, 30000, &result);
      done = answer != nullptr && (result & DDE_FACK);
      DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, service);
  }
  DdeUninitialize(instance);
  return done;
}

const char* Text(const char* s) { return s ? s : ""; }

}  // namespace

extern "C" {

int WINAPI QlCreateGroup(const char* caption, const char* groupFile) {
  char command[1024];
  return SendProgmanCommand(ql::CreateGroupCommand(Text(caption), Text(groupFile), command, sizeof command), command);
}

int WINAPI QlAddItem(const char* command, const char* description, const char* iconFile,
                                           int iconIndex) {
  char text[1024];
  return SendProgmanCommand(ql::AddItemCommand(Text(command), Text(description), Text(iconFile), iconIndex, text,
                                               sizeof text),
                            text);
}

}  // extern "C"
