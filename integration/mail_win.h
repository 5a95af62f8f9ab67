// Mail through Simple MAPI: the mail library loaded at run time, the logon, and the Mail menu's
// commands (log on, send, find first and next, read, delete, log off) with the menu states they set.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ql {

// The mail library's file name (looked for on the system's search path) and, while every entry
// point is known, its handle.
extern const char* g_mailLibraryName;
extern HMODULE g_mailLibrary;

// Results of LoadMailLibrary.
constexpr int kMailLibraryLoaded = 0;
constexpr int kMailLibraryMissing = 2;
constexpr int kMailEntryMissing = 4;

// Loads the library and finds its twelve entry points; at the first one missing the library is
// released again.
int LoadMailLibrary();
// Forgets the entry points and releases the library; logged off state afterwards.
void FreeMailLibrary();
// The outgoing message: `subject` and `note` are the frame's buffers (empty texts), no message type,
// received "1980/01/01 12:00", unread, the originator "Quillon", no recipients or attachments.
void PrepareMailMessage(char* subject, char* note);

// Where the mail commands show their states: the menus holding the mail items (either may be null).
struct MailMenus {
  HMENU manager = nullptr;
  HMENU express = nullptr;
};

bool MailLoggedOn();

// The mail commands; `frame` owns the mail client's dialogs. Each returns whether the provider
// accepted the call.
bool MailLogOn(HWND frame, const MailMenus& menus);
bool MailLogOff(HWND frame, const MailMenus& menus);
// Sends the prepared message through the mail client's compose dialog, with `attachments` (full
// paths of files) attached; none leaves the message as prepared.
bool MailSend(HWND frame, const std::vector<std::string>& attachments);
bool MailFind(HWND frame, const MailMenus& menus, bool first);
bool MailRead(HWND frame, const MailMenus& menus);
bool MailDelete(HWND frame, const MailMenus& menus);

// The tool bar's mail button: Send when logged on; otherwise Log On, Send and Log Off in turn,
// stopping when the logon fails.
void MailButton(HWND frame, const MailMenus& menus, const std::vector<std::string>& attachments);

}  // namespace ql
