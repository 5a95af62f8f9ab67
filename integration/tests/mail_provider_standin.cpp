// A Simple MAPI provider for tests only: mapi32 forwards the program's calls here when the test
// registers this library as the mail client. It holds a canned mailbox of two messages and writes
// one line per call to the file named by QL_MAIL_LOG. With QL_MAIL_REFUSE_LOGON=1 every logon
// fails as a refused password would.
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Message {
  const char* id;
  const char* subject;
  bool deleted;
};
Message g_mailbox[] = {{"QL-MSG-1", "Backups of May", false}, {"QL-MSG-2", "Re: the new archives", false}};
constexpr LHANDLE kSession = 0x5151;

std::string Text(const char* s) { return s ? "'" + std::string(s) + "'" : std::string("null"); }

void Log(const std::string& line) {
  char path[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("QL_MAIL_LOG", path, sizeof path)) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

std::string Hex(unsigned long long v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llx", v);
  return buf;
}

std::string Head(const char* call, LHANDLE session, ULONG_PTR ui, FLAGS flags) {
  return std::string(call) + " session=" + Hex(session) + " ui=" + Hex(ui) + " flags=" + Hex(flags);
}

// What the program gets back must come from mapi32's allocator: mapi32 frees it with its own.
void* Allocate(size_t size, void* parent) {
  HMODULE mapi = GetModuleHandleA("mapi32.dll");
  if (!mapi) return nullptr;
  void* p = nullptr;
  if (!parent) {
    auto allocate = reinterpret_cast<SCODE(WINAPI*)(ULONG, LPVOID*)>(
        reinterpret_cast<void*>(GetProcAddress(mapi, "MAPIAllocateBuffer")));
    if (!allocate || allocate(static_cast<ULONG>(size), &p) != 0) return nullptr;
  } else {
    auto more = reinterpret_cast<SCODE(WINAPI*)(ULONG, LPVOID, LPVOID*)>(
        reinterpret_cast<void*>(GetProcAddress(mapi, "MAPIAllocateMore")));
    if (!more || more(static_cast<ULONG>(size), parent, &p) != 0) return nullptr;
  }
  std::memset(p, 0, size);
  return p;
}

char* Copy(const char* s, void* parent) {
  char* p = static_cast<char*>(Allocate(std::strlen(s) + 1, parent));
  if (p) std::strcpy(p, s);
  return p;
}

Message* Find(const char* id) {
  for (Message& m : g_mailbox)
    if (id && !std::strcmp(m.id, id) && !m.deleted) return &m;
  return nullptr;
}

}  // namespace

extern "C" {

ULONG WINAPI MAPILogon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags, ULONG, LPLHANDLE session) {
  char refuse[8] = "";
  bool refused = GetEnvironmentVariableA("QL_MAIL_REFUSE_LOGON", refuse, sizeof refuse) && refuse[0] == '1';
  Log(Head("Logon", 0, ui, flags) + " profile=" + Text(profile) + " password=" + Text(password) +
      (refused ? " -> refused" : " -> ok"));
  if (refused) return MAPI_E_LOGIN_FAILURE;
  if (session) *session = kSession;
  return SUCCESS_SUCCESS;
}

ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR ui, FLAGS flags, ULONG) {
  Log(Head("Logoff", session, ui, flags));
  return session == kSession ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
}

ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR ui, lpMapiMessage m, FLAGS flags, ULONG) {
  std::string line = Head("SendMail", session, ui, flags);
  if (m) {
    line += " subject=" + Text(m->lpszSubject) + " note=" + Text(m->lpszNoteText) + " type=" +
            Text(m->lpszMessageType) + " received=" + Text(m->lpszDateReceived) + " msgflags=" + Hex(m->flFlags) +
            " from=" + (m->lpOriginator ? Text(m->lpOriginator->lpszName) : std::string("none")) +
            " recipients=" + std::to_string(m->nRecipCount) + " files=" + std::to_string(m->nFileCount);
    for (ULONG i = 0; i < m->nFileCount && m->lpFiles; ++i) line += " file=" + Text(m->lpFiles[i].lpszPathName);
  }
  Log(line);
  return SUCCESS_SUCCESS;
}

ULONG WINAPI MAPISendDocuments(ULONG_PTR ui, LPSTR, LPSTR, LPSTR, ULONG) {
  Log("SendDocuments");
  return MAPI_E_NOT_SUPPORTED;
}

ULONG WINAPI MAPIFindNext(LHANDLE session, ULONG_PTR ui, LPSTR type, LPSTR seed, FLAGS flags, ULONG, LPSTR id) {
  std::string line = Head("FindNext", session, ui, flags) + " type=" + Text(type) + " seed=" + Text(seed);
  size_t start = 0;
  if (seed && *seed) {
    start = sizeof g_mailbox / sizeof g_mailbox[0];
    for (size_t i = 0; i < sizeof g_mailbox / sizeof g_mailbox[0]; ++i)
      if (!std::strcmp(g_mailbox[i].id, seed)) start = i + 1;
  }
  for (size_t i = start; i < sizeof g_mailbox / sizeof g_mailbox[0]; ++i) {
    if (g_mailbox[i].deleted) continue;
    std::strcpy(id, g_mailbox[i].id);
    Log(line + " -> " + g_mailbox[i].id);
    return SUCCESS_SUCCESS;
  }
  Log(line + " -> none");
  return MAPI_E_NO_MESSAGES;
}

ULONG WINAPI MAPIReadMail(LHANDLE session, ULONG_PTR ui, LPSTR id, FLAGS flags, ULONG, lpMapiMessage* out) {
  Message* found = Find(id);
  Log(Head("ReadMail", session, ui, flags) + " id=" + Text(id) + (found ? " -> ok" : " -> invalid"));
  if (!found) return MAPI_E_INVALID_MESSAGE;
  auto* m = static_cast<lpMapiMessage>(Allocate(sizeof(MapiMessage), nullptr));
  if (!m) return MAPI_E_INSUFFICIENT_MEMORY;
  m->lpszSubject = Copy(found->subject, m);
  m->lpszNoteText = Copy("The canned mailbox's text.\r\n", m);
  m->lpszDateReceived = Copy("1996/05/14 09:30", m);
  *out = m;
  return SUCCESS_SUCCESS;
}

ULONG WINAPI MAPISaveMail(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG, LPSTR) {
  Log("SaveMail");
  return MAPI_E_NOT_SUPPORTED;
}

ULONG WINAPI MAPIDeleteMail(LHANDLE session, ULONG_PTR ui, LPSTR id, FLAGS flags, ULONG) {
  Message* found = Find(id);
  Log(Head("DeleteMail", session, ui, flags) + " id=" + Text(id) + (found ? " -> ok" : " -> invalid"));
  if (!found) return MAPI_E_INVALID_MESSAGE;
  found->deleted = true;
  return SUCCESS_SUCCESS;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID) { return SUCCESS_SUCCESS; }

ULONG WINAPI MAPIAddress(LHANDLE, ULONG_PTR, LPSTR, ULONG, LPSTR, ULONG, lpMapiRecipDesc, FLAGS, ULONG, LPULONG,
                         lpMapiRecipDesc*) {
  Log("Address");
  return MAPI_E_NOT_SUPPORTED;
}

ULONG WINAPI MAPIDetails(LHANDLE, ULONG_PTR, lpMapiRecipDesc, FLAGS, ULONG) {
  Log("Details");
  return MAPI_E_NOT_SUPPORTED;
}

ULONG WINAPI MAPIResolveName(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiRecipDesc*) {
  Log("ResolveName");
  return MAPI_E_NOT_SUPPORTED;
}

}  // extern "C"
