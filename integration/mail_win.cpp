#include "integration/mail_win.h"

#include <mapi.h>

#include <cstring>

#include "integration/mail_client.h"
#include "resources/ids.h"

namespace ql {

const char* g_mailLibraryName = "MAPI32.DLL";
HMODULE g_mailLibrary = nullptr;

namespace {

// Looked up in this order; only logon, logoff, send, find next, read, delete and free are called.
const char* const kMailEntryNames[12] = {
    "MAPILogon",      "MAPILogoff",  "MAPISendMail", "MAPISendDocuments", "MAPIFindNext",     "MAPIReadMail",
    "MAPISaveMail",   "MAPIDeleteMail", "MAPIFreeBuffer", "MAPIAddress",   "MAPIDetails", "MAPIResolveName",
};
enum MailEntry { kLogon, kLogoff, kSendMail, kSendDocuments, kFindNext, kReadMail, kSaveMail, kDeleteMail,
                 kFreeBuffer, kAddress, kDetails, kResolveName };
FARPROC g_mailEntries[12] = {};

template <typename Fn>
Fn Entry(MailEntry e) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(g_mailEntries[e]));
}

LHANDLE g_session = 0;
bool g_loggedOn = false;
// The identifier the last find returned, and the seed of the next find.
char g_messageId[514] = "";
char g_seedId[514] = "";

MapiRecipDesc g_originator = {};
MapiMessage g_message = {};

void SetItems(const MailMenus& menus, std::initializer_list<UINT> ids, bool enabled) {
  for (UINT id : ids)
    for (HMENU menu : {menus.manager, menus.express})
      if (menu) EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

ULONG_PTR UiParam(HWND frame) { return reinterpret_cast<ULONG_PTR>(frame); }

// Brings the mail client's window up, or starts the client.
void ShowMailClient() {
  if (!(GetVersion() & 0x80000000u)) {
    if (HWND client = FindWindowA("MS Mail32 Appframe", nullptr)) {
      ShowWindow(client, SW_SHOW);
      SetForegroundWindow(client);
      return;
    }
    WinExec("MSMAIL32.EXE", SW_SHOW);
    return;
  }
  if (HWND inbox = FindWindowA(nullptr, "Inbox - Microsoft Exchange")) {
    ShowWindow(inbox, SW_SHOW);
    SetForegroundWindow(inbox);
    return;
  }
  char command[MAX_PATH * 2] = "";
  LONG size = sizeof command;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, "msgfile\\shell\\open\\command", command, &size) != ERROR_SUCCESS) return;
  command[sizeof command - 1] = 0;
  std::optional<std::string> program = MailClientProgram(command);
  if (!program) return;
  std::string quoted = "\"" + *program + "\"";
  WinExec(quoted.c_str(), SW_SHOW);
}

}  // namespace

int LoadMailLibrary() {
  char found[MAX_PATH + 1] = "";
  char* filePart = nullptr;
  DWORD n = SearchPathA(nullptr, g_mailLibraryName, nullptr, sizeof found, found, &filePart);
  if (n == 0 || n >= sizeof found) return kMailLibraryMissing;
  g_mailLibrary = LoadLibraryA(found);
  if (!g_mailLibrary) return kMailLibraryMissing;
  for (int i = 0; i < 12; ++i) {
    g_mailEntries[i] = GetProcAddress(g_mailLibrary, kMailEntryNames[i]);
    if (!g_mailEntries[i]) {
      FreeMailLibrary();
      return kMailEntryMissing;
    }
  }
  return kMailLibraryLoaded;
}

void FreeMailLibrary() {
  for (FARPROC& entry : g_mailEntries) entry = nullptr;
  if (g_mailLibrary) FreeLibrary(g_mailLibrary);
  g_mailLibrary = nullptr;
  g_loggedOn = false;
  g_session = 0;
}

void PrepareMailMessage(char* subject, char* note) {
  g_originator = MapiRecipDesc{};
  g_originator.ulRecipClass = MAPI_ORIG;
  g_originator.lpszName = const_cast<char*>("Quillon");
  g_message = MapiMessage{};
  g_message.lpszSubject = subject;
  g_message.lpszNoteText = note;
  g_message.lpszMessageType = nullptr;
  g_message.lpszDateReceived = const_cast<char*>("1980/01/01 12:00");
  g_message.flFlags = MAPI_UNREAD;
  g_message.lpOriginator = &g_originator;
}

bool MailLoggedOn() { return g_loggedOn; }

bool MailLogOn(HWND frame, const MailMenus& menus) {
  if (!g_mailLibrary) return false;
  LHANDLE session = 0;
  ULONG r = Entry<LPMAPILOGON>(kLogon)(UiParam(frame), nullptr, nullptr, MAPI_LOGON_UI, 0, &session);
  if (r != SUCCESS_SUCCESS) return false;
  g_session = session;
  g_loggedOn = true;
  SetItems(menus, {IDM_MAIL_LOGON}, false);
  SetItems(menus, {IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST}, true);
  SetItems(menus, {IDM_MAIL_FIND_NEXT}, false);
  return true;
}

bool MailLogOff(HWND frame, const MailMenus& menus) {
  if (!g_mailLibrary) return false;
  if (Entry<LPMAPILOGOFF>(kLogoff)(g_session, UiParam(frame), 0, 0) != SUCCESS_SUCCESS) return false;
  g_loggedOn = false;
  g_session = 0;
  SetItems(menus, {IDM_MAIL_LOGON}, true);
  SetItems(menus, {IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST, IDM_MAIL_FIND_NEXT, IDM_MAIL_READ,
                   IDM_MAIL_DELETE}, false);
  return true;
}

bool MailSend(HWND frame, const std::vector<std::string>& attachments) {
  if (!g_mailLibrary) return false;
  MapiMessage message = g_message;
  std::vector<MapiFileDesc> files(attachments.size());
  for (size_t i = 0; i < attachments.size(); ++i) {
    files[i] = MapiFileDesc{};
    files[i].nPosition = static_cast<ULONG>(-1);
    files[i].lpszPathName = const_cast<char*>(attachments[i].c_str());
  }
  message.nFileCount = static_cast<ULONG>(files.size());
  message.lpFiles = files.empty() ? nullptr : files.data();
  return Entry<LPMAPISENDMAIL>(kSendMail)(g_session, UiParam(frame), &message, MAPI_DIALOG, 0) == SUCCESS_SUCCESS;
}

bool MailFind(HWND frame, const MailMenus& menus, bool first) {
  if (!g_mailLibrary) return false;
  if (first)
    g_seedId[0] = 0;
  else
    lstrcpynA(g_seedId, g_messageId, sizeof g_seedId);
  ULONG r = Entry<LPMAPIFINDNEXT>(kFindNext)(g_session, UiParam(frame), nullptr, g_seedId,
                                             MAPI_GUARANTEE_FIFO | MAPI_LONG_MSGID, 0, g_messageId);
  if (r == SUCCESS_SUCCESS) {
    g_messageId[sizeof g_messageId - 1] = 0;
    SetItems(menus, {IDM_MAIL_FIND_NEXT, IDM_MAIL_READ}, true);
    return true;
  }
  SetItems(menus, {IDM_MAIL_FIND_NEXT, IDM_MAIL_READ, IDM_MAIL_DELETE}, false);
  return false;
}

bool MailRead(HWND frame, const MailMenus& menus) {
  if (!g_mailLibrary) return false;
  lpMapiMessage message = nullptr;
  ULONG r = Entry<LPMAPIREADMAIL>(kReadMail)(g_session, UiParam(frame), g_messageId, MAPI_SUPPRESS_ATTACH, 0,
                                             &message);
  if (r != SUCCESS_SUCCESS) {
    MessageBeep(MB_OK);
    return false;
  }
  if (message) Entry<LPMAPIFREEBUFFER>(kFreeBuffer)(message);
  SetItems(menus, {IDM_MAIL_DELETE}, true);
  ShowMailClient();
  return true;
}

bool MailDelete(HWND frame, const MailMenus& menus) {
  if (!g_mailLibrary) return false;
  if (Entry<LPMAPIDELETEMAIL>(kDeleteMail)(g_session, UiParam(frame), g_messageId, 0, 0) != SUCCESS_SUCCESS)
    return false;
  SetItems(menus, {IDM_MAIL_READ, IDM_MAIL_DELETE}, false);
  return true;
}

void MailButton(HWND frame, const MailMenus& menus, const std::vector<std::string>& attachments) {
  if (!g_mailLibrary) return;
  if (g_loggedOn) {
    MailSend(frame, attachments);
    return;
  }
  if (!MailLogOn(frame, menus)) return;
  MailSend(frame, attachments);
  MailLogOff(frame, menus);
}

}  // namespace ql
