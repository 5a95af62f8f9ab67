// Every resource id of Quillon: IDM_ commands, IDD_ dialogs, IDC_ controls, IDS_ strings,
// IDB_ bitmaps, IDI_ icons, IDR_ menus and accelerators. Where the program fixes a number,
// that is the number here. Included by C++ and by windres.
#pragma once

// Strings used from start-up on.
#define IDS_CANNOT_CREATE_DIALOG 101    // " Cannot create dialog box "
#define IDS_NO_MEMORY 3000              // "Couldn't allocate enough memory for this operation!"
#define IDS_INVALID_ARCHIVE_NAME 3002   // "Invalid archive filename! ..."
#define IDS_FILE_MISSING 3031           // "Quillon can't find the following file:\n%s\n..."
#define IDS_NEED_ARCHIVE_FILE 3053      // "You Must Specify An Arj, Zip Or Zip Exe File For This Operation."

// Mail menu items.
#define IDM_MAIL_LOGON 4044
#define IDM_MAIL_LOGOFF 4045
#define IDM_MAIL_SEND 4047
#define IDM_MAIL_FIND_FIRST 4050
#define IDM_MAIL_FIND_NEXT 4051
#define IDM_MAIL_READ 4052
#define IDM_MAIL_DELETE 4053
