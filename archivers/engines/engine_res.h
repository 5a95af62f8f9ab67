// Resource ids of the engine libraries' own dialogs.
#pragma once
#define IDD_QLPROGRESS 100
#define IDD_QLCOMMENT 101
#define IDD_QLPASSWORD 102
#define IDD_QLOVERWRITE 103
#define IDC_VERB 1001
#define IDC_NAME 1002
#define IDC_BAR 1003
#define IDC_PERCENT 1004
#define IDC_TITLE 1010
#define IDC_TEXT 1011
#define IDC_PASSWORD 1020
#define IDC_QUESTION 1030
#define IDC_YESALL 1031
