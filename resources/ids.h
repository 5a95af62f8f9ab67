// Every resource id of Quillon: IDM_ commands, IDD_ dialogs, IDC_ controls, IDS_ strings,
// IDB_ bitmaps, IDI_ icons, IDR_ menus and accelerators, IDCUR_ cursors. Where the program fixes
// a number, that is the number here. Included by C++ and by windres.
//
// Named resources (menus, accelerators, icons, bitmaps, cursors) are loaded by name; their
// names are given here as text for the C++ side. The .rc files spell the same names.
#pragma once

// ---------------------------------------------------------------------------------------------
// Menus and accelerator tables (by name).
#define IDR_MANAGER "Manager"             // frame class menu and accelerators of Manager mode
#define IDR_EXPRESS "Express"             // menu and accelerators of Express mode
#define IDR_POPUP_FILE "PopupFile"        // right-button menu of directory lists
#define IDR_POPUP_ARCHIVE "PopupArchive"  // right-button menu of archive lists

// Top-level popup positions of the Manager menu (one more while a browser window is maximised,
// because its system menu then takes position 0).
#define MANAGER_POS_FILE 0
#define MANAGER_POS_EDIT 1
#define MANAGER_POS_VIEW 2
#define MANAGER_POS_OPTIONS 3
#define MANAGER_POS_MACROS 4
#define MANAGER_POS_MODE 5
#define MANAGER_POS_MAIL 6
#define MANAGER_POS_APPLICATIONS 7
#define MANAGER_POS_WINDOW 8
#define MANAGER_POS_HELP 9

// ---------------------------------------------------------------------------------------------
// Icons, bitmaps and cursors (by name), and the tool-bar strip (by number).
#define IDI_ZIP "ZIP"              // browser window showing a ZIP archive
#define IDI_ARJ "ARJ"              // browser window showing an ARJ archive
#define IDI_NOARCHIVE "NOARCHIVE"  // browser window without an archive
#define IDI_QL4 "QL4"              // the frame

// Drive buttons of the drive bar, by drive kind.
#define IDB_HARDDRIVE "harddrive"
#define IDB_FLOPPY "floppy"
#define IDB_RAMDRIVE "ramdrive"
#define IDB_CDROM "cdrom"
#define IDB_NETDRV "netdrv"
#define IDB_NETDISABLED "netdisabled"

// List items (directory, archive and drive-box lines).
#define IDB_ARJFILE "arjfile"
#define IDB_ZIPFILE "zipfile"
#define IDB_WAVEFILE "wavefile"
#define IDB_AVIFILE "avifile"
#define IDB_EXEFILE "exefile"
#define IDB_LBFD "lbfd"
#define IDB_LBHD "lbhd"
#define IDB_LBNETDRIVE "lbnetdrive"
#define IDB_LBNETDISABLED "lbnetdisabled"
#define IDB_LBCDROM "lbcdrom"
#define IDB_LBRAMDRIVE "lbramdrive"
#define IDB_DOUBLEDOTS "doubledots"
#define IDB_DIR "dir"
#define IDB_COMMENT "comment"
#define IDB_TEXTFILE "textfile"
#define IDB_FILE "file"

// Tool-bar image strip: 17 images of 20 x 17 pixels, side by side.
#define IDB_TOOLBAR 102
#define TOOLBAR_IMAGE_COUNT 17
#define TOOLBAR_IMAGE_WIDTH 20
#define TOOLBAR_IMAGE_HEIGHT 17
#define TBI_NEW_ARCHIVE 0
#define TBI_OPEN 1
#define TBI_EXTRACT 2
#define TBI_ADD 3
#define TBI_DELETE 4
#define TBI_SELECT_ALL 5
#define TBI_PRINT 6
#define TBI_VIRUS 7
#define TBI_FILE_MASK 8
#define TBI_INFORMATION 9
#define TBI_MAIL 10
#define TBI_TRASH_CAN 11
#define TBI_CLEAR_ARCHIVE 12
#define TBI_HELP 13
#define TBI_LONG_NAMES 14
#define TBI_SHORT_NAMES 15
#define TBI_PARENT_DIR 16

// Drag-and-drop cursors and the splitter cursor.
#define IDCUR_COPY "copy"
#define IDCUR_FILEMOV "filemov"
#define IDCUR_MULTCOPY "multcopy"
#define IDCUR_MULTMOVE "multmove"
#define IDCUR_NODROP "nodrop"
#define IDCUR_RESIZE "resize"

// ---------------------------------------------------------------------------------------------
// Frame children and bar controls.
#define IDM_DRIVE_BUTTON_FIRST 100   // sent to the drive bar: choose the drive 100 + (letter - 'A')
#define IDC_TOOLBAR 100
#define IDC_DRIVE_BOX 162
#define IDC_MDI_CLIENT 188
#define IDC_STATUS_BAR 193
#define IDC_PANE_HINT 194
#define IDC_PANE_MODE 196
#define IDC_PANE_DIR_TOTALS 199
#define IDC_PANE_ARCHIVE_TOTALS 398
#define IDC_DRIVE_BAR 413
#define IDM_WINDOW_CHILD_FIRST 5100  // first MDI child id (the "&Window" list)

// ---------------------------------------------------------------------------------------------
// Manager menu commands.
#define IDM_NEW_ARCHIVE 900
#define IDM_COPY 901
#define IDM_SELECT_ALL_FILES 903       // Select All on the directory list
#define IDM_RUN 905
#define IDM_EXIT 906
#define IDM_EXTRACT 907
#define IDM_ADD 908
#define IDM_MOVE 909
#define IDM_DELETE_MEMBERS 910         // Edit > Delete: the archive list's selection
#define IDM_FRESHEN 911
#define IDM_UPDATE 912
#define IDM_SELECT_ALL_MEMBERS 913     // Select All on the archive list
#define IDM_RENAME_IN_ARJ 914
#define IDM_COMMENT_TITLE 915
#define IDM_COMMENT_FILES_ALT1 916     // no menu entry; same as IDM_COMMENT_FILES
#define IDM_COMMENT_FILES_ALT2 917     // no menu entry; same as IDM_COMMENT_FILES
#define IDM_COMMENT_FILES 918
#define IDM_TEST 919
#define IDM_JOIN_ARJ 920
#define IDM_DEFAULTS 951
#define IDM_SETUP_PRINTER 952
#define IDM_APPLICATIONS 953
#define IDM_CASCADE 954
#define IDM_TILE 955                   // no menu entry; same as IDM_TILE_VERTICALLY
#define IDM_ARRANGE_ICONS 956
#define IDM_ABOUT 960
#define IDM_DELETE_FOCUSED 961         // tool bar and Del: the focused list's selection
#define IDM_RENAME 963
#define IDM_MAKE_DIR 964
#define IDM_DELETE_DIR 965             // no menu entry
#define IDM_CHANGE_DIR 967
#define IDM_MOVE_FILES 968
#define IDM_FONTS 969
#define IDM_SHOW_TOOLBAR 970
#define IDM_OPEN 972
#define IDM_DELETE_FILES 973           // File > Delete: the directory list's selection
#define IDM_PRINT_LISTING 974
#define IDM_ASSOCIATE 975
#define IDM_ARJ_SWITCHES 977           // Manager and Express
#define IDM_ZIP_SWITCHES 978           // Manager and Express
#define IDM_REPAIR_ARJ 979
#define IDM_REPAIR_ZIP 980
#define IDM_SCAN_DRIVE 981
#define IDM_SCAN_DIRECTORY 982
#define IDM_CONVERT_ZIP_TO_ARJ 983
#define IDM_CONVERT_ARJ_TO_ZIP 984
#define IDM_CONVERT_ARC_TO_ARJ 985
#define IDM_CONVERT_ARC_TO_ZIP 986
#define IDM_CONVERT_LZH_TO_ARJ 987
#define IDM_CONVERT_LZH_TO_ZIP 988
#define IDM_SFX_ARJ 989
#define IDM_SFX_ZIP 990
#define IDM_BY_FILE_TYPE 998
#define IDM_MODE_EXPRESS 1000
#define IDM_MODE_MANAGER 1001
#define IDM_CONFIRMATION 1002
#define IDM_MACROS 1003
#define IDM_SHOW_DRIVE_BAR 1005
#define IDM_NEW_WINDOW 1008
#define IDM_TILE_VERTICALLY 1009
#define IDM_TILE_HORIZONTALLY 1010
#define IDM_REFRESH 1011
#define IDM_HELP_CONTENTS 1012         // Manager and Express
#define IDM_HELP_SEARCH 1013           // Manager and Express
#define IDM_HELP_ON_HELP 1014          // Manager and Express
#define IDM_CONVERT_ZIP1_TO_ZIP2 1016
#define IDM_SELECT_FILES 1017
#define IDM_ARCHIVE_PROGRESS 1019
#define IDM_PROPERTIES 1022
#define IDM_ZIP_OPTIONS 1023
#define IDM_NEW_ITEM 1026
#define IDM_NEW_GROUP 1027
#define IDM_CLOSE_ALL 1028
#define IDM_SCAN_ARCHIVE 1030
#define IDM_FILE_STATISTICS 1031
#define IDM_INSTALL_FM_EXT 1032
#define IDM_REMOVE_FM_EXT 1033
#define IDM_CLEAR_ARCHIVE 1052
#define IDM_DEFAULT_ZIP 1053

// Commands sent by tool-bar buttons (no menu entry).
#define IDM_SELECT_ALL_FOCUSED 166
#define IDM_MAIL_BUTTON 169
#define IDM_PARENT_DIR 1054
#define IDM_LONG_NAMES 1055
#define IDM_SHORT_NAMES 1056

// Drive-bar focus commands.
#define IDM_TAKE_FOCUS 402          // a browser window or a bar takes the keyboard focus
#define IDM_DRIVE_BAR_NEIGHBOUR 403

// Mail menu items.
#define IDM_MAIL_LOGON 4044
#define IDM_MAIL_LOGOFF 4045
#define IDM_MAIL_SEND 4047
#define IDM_MAIL_FIND_FIRST 4050
#define IDM_MAIL_FIND_NEXT 4051
#define IDM_MAIL_READ 4052
#define IDM_MAIL_DELETE 4053

// Applications and Macros popups: one command per slot, and the greyed placeholder item each
// popup shows while nothing is defined (outside both ranges, so it never runs a slot).
#define IDM_APP_FIRST 6000
#define IDM_APP_LAST 6015
#define IDM_APPS_NONE 6020             // "None Setup"
#define IDM_MACRO_FIRST 6100
#define IDM_MACRO_LAST 6135
#define IDM_MACROS_NONE 6140           // "None Defined"

// ---------------------------------------------------------------------------------------------
// Express menu commands.
#define IDM_EX_NEW 4000
#define IDM_EX_RUN 4002                // no menu entry
#define IDM_EX_PRINT_LISTING 4003
#define IDM_EX_EXIT 4004
#define IDM_EX_ADD 4005
#define IDM_EX_MOVE 4006
#define IDM_EX_DELETE 4007
#define IDM_EX_FRESHEN 4008
#define IDM_EX_UPDATE 4009
#define IDM_EX_TEST 4010
#define IDM_EX_ARJ_SWITCHES 4011       // no menu entry
#define IDM_EX_ZIP_SWITCHES 4012       // no menu entry
#define IDM_EX_SFX_ARJ 4024
#define IDM_EX_SFX_ZIP 4025
#define IDM_EX_REPAIR_ARJ 4026
#define IDM_EX_REPAIR_ZIP 4027
#define IDM_EX_MODE_EXPRESS 4031
#define IDM_EX_MODE_MANAGER 4032
#define IDM_EX_ZIP_OPTIONS 4039
#define IDM_EX_ARCHIVE_PROGRESS 4040
#define IDM_EX_SETUP_PRINTER 4041
#define IDM_EX_EXTRACT 4042

// ---------------------------------------------------------------------------------------------
// Strings: messages.
#define IDS_CANNOT_CREATE_DIALOG 101    // " Cannot create dialog box "
#define IDS_PICK_ADD 232                // " File Add request, Select a destination archive"
#define IDS_PICK_MOVE 233               // "File Move request, Select a destination archive"
#define IDS_NEED_DIRECTORY_NAME 415     // "You must enter a directory name!"
#define IDS_CREATE_DIRECTORY_ASK 421    // "The following directory:\n%s\n Does not exist...."
#define IDS_ONLY_ZIP_FILES 425          // "Only ZIP files can be used with this command!"
#define IDS_NO_MEMORY 3000              // "Couldn't allocate enough memory for this operation!"
#define IDS_WINDOW_LIMIT 3001           // "The maximum window limit is: %d."
#define IDS_INVALID_ARCHIVE_NAME 3002   // "Invalid archive filename! ..."
#define IDS_ARCHIVE_ALREADY_OPEN 3003
#define IDS_ENTER_FILENAME 3004
#define IDS_NO_DISK_SPACE 3005
#define IDS_ARCHIVE_NOT_CREATED 3006    // "...:\n %s"
#define IDS_ZIP_INVALID_NAMED 3007      // "%s\nThis Zip file may be invalid,..."
#define IDS_DELETE_SUBDIR_ASK 3012
#define IDS_ONLY_ARJ_FILES 3013
#define IDS_SELECT_IN_ARCHIVE 3014
#define IDS_ENTER_MENU_TEXT 3016
#define IDS_ENTER_PROGRAM_NAME 3017
#define IDS_ENTER_TARGET_DIR 3018
#define IDS_ENTER_ARCHIVE_DIR 3019
#define IDS_ENTER_WORK_DIR 3020
#define IDS_ENTER_VIRUS_PROGRAM 3021
#define IDS_ENTER_ARC_LZH_PROGRAM 3022
#define IDS_PROGRAM_EXTENSIONS 3023
#define IDS_OVERWRITE_WARNING 3025
#define IDS_DELETE_ALL_CORRUPTS 3027
#define IDS_TEMP_FILE_FAILED 3028       // "...:\n[%s]"
#define IDS_ARJ_INVALID 3029
#define IDS_FILE_MISSING 3031           // "Quillon can't find the following file:\n%s\n..."
#define IDS_MAY_BE_DAMAGED 3035         // "Caution! %s may be damaged,..."
#define IDS_NOT_EMPTY_DIRECTORY 3037
#define IDS_FILE_EXISTS_OPEN_ASK 3038
#define IDS_ZIP_INVALID 3039
#define IDS_COPY_IO_ERROR 3040
#define IDS_ONLY_ONE_FILE 3041
#define IDS_NO_ASSOCIATION 3042
#define IDS_PRINTER_ERROR 3043
#define IDS_NO_COMMENTS_ALLOWED 3044
#define IDS_NO_SELECTION 3045
#define IDS_FILES_ONLY 3047
#define IDS_SHELL_OPEN 3048
#define IDS_DROP_NO_MEMORY 3050
#define IDS_DIR_TOTALS 3051             // "%ld Bytes In %d Files."
#define IDS_ARCHIVE_TOTALS 3052         // "%d Files at %.1f%%"
#define IDS_NEED_ARCHIVE_FILE 3053      // "You Must Specify An Arj, Zip Or Zip Exe File For This Operation."
#define IDS_NEED_SELECTED_FILE 3054
#define IDS_NO_DRIVES_DIRS 3055
#define IDS_NEED_ARCHIVE_WINDOW 3056
#define IDS_CANNOT_LOAD_LIBRARY 3057    // "Error: Unable To Load %s.  Aborting."
#define IDS_CANNOT_FIND_FUNCTION 3058   // "Error: Unable To Find Function in %s. Aborting."
#define IDS_CANNOT_DELETE_DRIVE 3059
#define IDS_CANNOT_DELETE_PARENT 3060
#define IDS_DELETE_FILE_ASK 3061
#define IDS_DELETE_MEMBERS_ASK 3062
#define IDS_NO_MEMORY_STATUS 3063
#define IDS_NAME_TOO_LONG 3064
#define IDS_ARCHIVE_IN_ARCHIVE 3065
#define IDS_DIR_LINE_FORMAT 3066        // directory listing line: "%s\t%s\t%ld\t%02d/%02d/%02d\t%02d:%02d%c"
#define IDS_APPLICATIONS_FULL 3067      // "You can only add %d items to the Applications Menu"
#define IDS_CANNOT_READ_COMMENT 3068
#define IDS_CANNOT_CREATE_TARGET 3069
#define IDS_CANNOT_RENAME_DRIVE 3070
#define IDS_MULTI_VOLUME_ZIP 3071
#define IDS_NO_DRIVE_LETTERS 3072
#define IDS_NO_PROGRAMS_ALLOWED 3074
#define IDS_CANNOT_RUN 3075
#define IDS_CANNOT_DELETE_DIR 3076
#define IDS_NO_ITEMS_TO_DELETE 3078
#define IDS_SELECT_AN_ITEM 3079
#define IDS_COMMAND_LINE_TOO_LONG 3100 // "%u characters; at most %u" and the start of the line
#define IDS_NOT_AVAILABLE 3101       // a command this version does not have
#define IDS_CANT_DELETE_COMMENTS 3102  // "You can't delete file comments."

// Drag and drop (dragdrop.rc).
#define IDS_CANT_DRAG_COMMENTS 3150    // "You can't drag file comments."

// Strings: status-bar hints of menu items and tool tips.
#define IDS_READY 2000
#define IDS_HINT_NEW_ARCHIVE 2001
#define IDS_HINT_ADD_ITEM 2002
#define IDS_HINT_NEW_GROUP 2003
#define IDS_HINT_OPEN 2004
#define IDS_HINT_MOVE_FILES 2005
#define IDS_HINT_COPY_FILES 2006
#define IDS_HINT_RENAME 2008
#define IDS_HINT_PROPERTIES 2009
#define IDS_HINT_RUN 2010
#define IDS_HINT_PRINT 2011
#define IDS_HINT_SETUP_PRINTER 2012
#define IDS_HINT_ASSOCIATE 2013
#define IDS_HINT_MAKE_DIR 2014
#define IDS_HINT_CHANGE_DIR 2015
#define IDS_HINT_DELETE_DIR 2016
#define IDS_HINT_SELECT_BY_TYPE 2017
#define IDS_HINT_SELECT_ALL_FILES 2018
#define IDS_HINT_EXIT 2019
#define IDS_HINT_EXTRACT 2020
#define IDS_HINT_ADD 2021
#define IDS_HINT_MOVE 2022
#define IDS_HINT_DELETE 2023
#define IDS_HINT_FRESHEN 2024
#define IDS_HINT_UPDATE 2025
#define IDS_HINT_SELECT_ALL 2026
#define IDS_HINT_TEST 2027
#define IDS_HINT_JOIN_ARJ 2028
#define IDS_HINT_RENAME_IN_ARJ 2029
#define IDS_HINT_ARJ_SWITCHES 2030
#define IDS_HINT_ZIP_SWITCHES 2031
#define IDS_HINT_ZIP_OPTIONS 2032
#define IDS_HINT_COMMENT_TITLE 2033
#define IDS_HINT_COMMENT_FILES 2034
#define IDS_HINT_CONVERT_ZIP1_TO_ZIP2 2035
#define IDS_HINT_CONVERT_ZIP_TO_ARJ 2036
#define IDS_HINT_CONVERT_ARJ_TO_ZIP 2037
#define IDS_HINT_CONVERT_ARC_TO_ZIP 2038   // our own wording: the item had no hint of its own
#define IDS_HINT_CONVERT_ARC_TO_ARJ 2039
#define IDS_HINT_CONVERT_LZH_TO_ARJ 2040
#define IDS_HINT_CONVERT_LZH_TO_ZIP 2041
#define IDS_HINT_SFX_ARJ 2042
#define IDS_HINT_SFX_ZIP 2043
#define IDS_HINT_REPAIR_ARJ 2044
#define IDS_HINT_REPAIR_ZIP 2045
#define IDS_HINT_SCAN_DRIVE 2046
#define IDS_HINT_SCAN_DIRECTORY 2047
#define IDS_HINT_SCAN_ARCHIVE 2048
#define IDS_HINT_ARCHIVE_PROGRESS 2049
#define IDS_HINT_FILE_STATISTICS 2050
#define IDS_HINT_BY_FILE_TYPE 2055
#define IDS_HINT_MODE_EXPRESS 2056
#define IDS_HINT_MODE_MANAGER 2057
#define IDS_HINT_CONFIRMATION 2058
#define IDS_HINT_DEFAULTS 2059
#define IDS_HINT_FONTS 2060
#define IDS_HINT_APPLICATIONS 2061
#define IDS_HINT_MACROS 2062
#define IDS_HINT_INSTALL_FM_EXT 2063
#define IDS_HINT_REMOVE_FM_EXT 2064
#define IDS_HINT_SHOW_TOOLBAR 2065
#define IDS_HINT_SHOW_DRIVE_BAR 2066
#define IDS_HINT_NEW_WINDOW 2067
#define IDS_HINT_CASCADE 2068
#define IDS_HINT_TILE_VERTICALLY 2069
#define IDS_HINT_TILE_HORIZONTALLY 2070
#define IDS_HINT_ARRANGE_ICONS 2071
#define IDS_HINT_REFRESH 2072
#define IDS_HINT_CLOSE_ALL 2073
#define IDS_HINT_HELP_CONTENTS 2074
#define IDS_HINT_HELP_SEARCH 2075
#define IDS_HINT_HELP_ON_HELP 2076
#define IDS_HINT_ABOUT 2079
#define IDS_HINT_CLEAR_ARCHIVE 2080
#define IDS_HINT_SEND_MAIL 2081
#define IDS_HINT_LONG_NAMES 2083
#define IDS_HINT_SHORT_NAMES 2084
#define IDS_HINT_PARENT_DIR 2085

// Controls of the archiver dialogs (switches, password, new archive, target, delete confirmation).
// The templates are named resources: "ZipSwitches", "ArjSwitches", "PathStorage", "ZipOptions",
// "DefaultZIP", "PASSWORD", "NEW_ARCHIVE", "ConfirmTarget", "ConfirmDelete".
#define IDC_HELP_BUTTON 374

// Controls of "SelByType" (Select Files By Type).
#define IDC_SELBYTYPE_SELECT 327
#define IDC_SELBYTYPE_DESELECT 328
#define IDC_SELBYTYPE_EDIT 329
#define IDC_SW_PASSWORD 937
#define IDC_SW_MAXIMUM 938
#define IDC_SW_FASTER 939
#define IDC_SW_FASTEST 940
#define IDC_SW_STORE 941
#define IDC_SW_RECURSE 942
#define IDC_SW_KEEP_DATE 944
#define IDC_SW_MULTI_VOLUME 946
#define IDC_SW_OVERWRITE_ALL 947
#define IDC_SW_ONLY_NEWER 948
#define IDC_SW_NO_OVERWRITE 949
#define IDC_SW_RESTORE_DIRS 950
#define IDC_SW_NEWEST_DATE 1035
#define IDC_SW_VOLUME_LABEL 1036
#define IDC_SW_EXTRACT_PASSWORD 1039
#define IDC_SW_BY_NAME 1040
#define IDC_SW_BY_EXTENSION 1041
#define IDC_SW_BY_SIZE 1042
#define IDC_SW_BY_DATE 1043
#define IDC_SW_REVERSE 1044
#define IDC_SW_EXTRACT_LABEL 1045
#define IDC_SW_PATH_STORAGE 412
#define IDC_PATH_FULL 409
#define IDC_PATH_RELATIVE 410
#define IDC_PATH_NONE 411
#define IDC_PATH_NOTE 408
#define IDC_OPT_COMPATIBILITY 1037
#define IDC_OPT_NO_DPMI 1038
#define IDC_OPT_NO_NET 1046
#define IDC_OPT_NO_32BIT 1047
#define IDC_OPT_NO_EMS 1048
#define IDC_OPT_NO_XMS 1049
#define IDC_OPT_SLOW_MEMCOPY 1050
#define IDC_DEFZIP_INTERNAL 422
#define IDC_DEFZIP_DOS 423
#define IDC_PASSWORD_EDIT 370
#define IDC_NEW_FILE_NAME 268
#define IDC_NEW_DIRECTORY 270
#define IDC_NEW_BROWSE 271
#define IDC_NEW_ZIP 272
#define IDC_NEW_ARJ 273
#define IDC_NEW_SWITCHES 401
#define IDC_TARGET_DEFAULT 416
#define IDC_TARGET_CURRENT 417
#define IDC_TARGET_SELECT 418
#define IDC_TARGET_FIELD 419
#define IDC_DELETE_QUESTION 366
#define IDC_DELETE_NAMES 367
#define IDC_DELETE_YES 380
#define IDC_DELETE_YES_ALL 381
#define IDC_DELETE_NO 382

// Controls of the file-operation dialogs: "Copying", "COPY_FILES", "Move_Files1", "GET_TARGET",
// "RENAME", "CREATEDIR", "ChangeDir", and the confirmations "ConfirmOverwrite", "DeleteDir" and
// "ConfirmDrag" (which share the question and names fields and the answer buttons of "ConfirmDelete").
#define IDC_FO_CURRENT 1100     // the directory the operation starts from (static)
#define IDC_FO_ENTRY 1101       // the typed target, new name or directory (edit)
#define IDC_FO_BROWSE 1102      // "&Browse...": the target-directory chooser
#define IDC_FO_OLD_NAME 1103    // Rename: the entry being renamed (read-only edit)
#define IDC_FO_DIR_LIST 1104    // GET_TARGET: "&Drives/Directories"
#define IDC_FO_ACTION 1105      // Copying: "Copying:" or "Moving:"; ConfirmDrag: "Copy To:" or "Move To:"
#define IDC_FO_SOURCE 1106      // Copying: the file being copied
#define IDC_FO_TARGET 1107      // Copying: where it goes
#define IDC_FO_TARGET_DATE 1108 // ConfirmOverwrite: the existing file's date
#define IDC_FO_SOURCE_DATE 1109 // ConfirmOverwrite: the new file's date
#define IDS_CANNOT_DELETE_FILE 3110     // "Unable To Delete This File. ...:\n%s"
// ---------------------------------------------------------------------------------------------
// Comments and whole-archive operations: the comment viewer, the join dialog and the convert's
// own messages.
#define IDC_COMMENT_TEXT 1060
#define IDC_JOIN_NAME 1061
#define IDS_CONVERT_TARGET_EXISTS 3120  // "%s\nalready exists. ..."
#define IDS_CONVERT_FAILED 3121         // "The conversion of\n%s\nfailed. ..."
#define IDS_SFX_FAILED 3122             // "The self-extracting archive of\n%s\nwas not made..."
#define IDS_REPAIR_ZIP_WRITTEN 3123     // "The repaired archive was written to\n%s"
#define IDS_REPAIR_FAILED 3124          // "The repair of\n%s\nfailed. ..."
#define IDS_REPAIR_ARJ_INTO 3125        // "...recovered ... into the new directory\n%s"
#define IDS_CONVERT_DROPS_EXTRAS 3126   // "%s\nholds comments or folders that the new archive cannot keep..."
// Help window (resources/help.rc).
#define IDS_HELP_MISSING 3400           // "Quillon cannot find its help file:\n%s..."
#define IDS_HELP_DAMAGED 3401           // "The help file\n%s\nis damaged ... (%s)..."
// ---------------------------------------------------------------------------------------------
// Options dialogs and the display-selection dialog: "SETUPQL4" (Defaults), "WARNING"
// (Confirmations), "DIR_MASK" (Select Files To Display).
#define IDC_SETUP_VIRUS 284
#define IDC_SETUP_VIRUS_DOS 287
#define IDC_SETUP_VIRUS_WINDOWS 288
#define IDC_SETUP_TARGET 289
#define IDC_SETUP_SOURCE 290
#define IDC_SETUP_WORKING 291
#define IDC_SETUP_ARC 292
#define IDC_SETUP_LZH 293
#define IDC_SETUP_ARC_IN_USE 294       // which ARC extractor a convert uses
#define IDC_SETUP_LZH_IN_USE 295       // which LZH extractor a convert uses
#define IDC_SETUP_SAVE_WINDOWS 424
#define IDC_WARN_DELETE 309
#define IDC_WARN_MOVE 310
#define IDC_WARN_REPLACE 311
#define IDC_WARN_DIR_DELETE 312
#define IDC_WARN_MOUSE 313
#define IDC_WARN_TARGET_DIR 420
#define IDC_MASK_ALL_FILES 257
#define IDC_MASK_PROGRAMS 258
#define IDC_MASK_ARJ 259
#define IDC_MASK_ZIP 260
#define IDC_MASK_ALL_ARCHIVES 1051
#define IDC_MASK_CURRENT 263           // the mask as it is
#define IDC_MASK_EDIT 264              // the mask being composed

// ---------------------------------------------------------------------------------------------
// Printing archive listings.
#define IDM_PRINT_BUTTON 167            // print the listing, in either mode

// ---------------------------------------------------------------------------------------------
// Run, Associate, Properties and File Statistics: "RUN", "Associate", "FileProps", "FileStats".
#define IDC_RUN_LINE 1200          // "Command &Line:"
#define IDC_RUN_RECENT 1201        // the drop-down list of recent command lines
#define IDC_RUN_MINIMIZED 1202     // "Run &Minimized"
#define IDC_RUN_BROWSE 1203        // "&Browse..."
#define IDC_ASSOC_EXTENSION 1210   // "&Files with Extension:"
#define IDC_ASSOC_PROGRAM 1211     // "Associate With..."
#define IDC_ASSOC_LIST 1212        // the sorted list of file types
#define IDC_ASSOC_BROWSE 1213      // "&Browse..."
#define IDC_PROPS_NAME 1220        // "&File Name:" (read-only)
#define IDC_PROPS_SIZE 1221
#define IDC_PROPS_CHANGED 1222     // "Last Change:"
#define IDC_PROPS_PATH 1223        // "&Path:" (read-only)
#define IDC_PROPS_READ_ONLY 1224
#define IDC_PROPS_ARCHIVE 1225
#define IDC_PROPS_HIDDEN 1226
#define IDC_PROPS_SYSTEM 1227
#define IDC_STATS_ARCHIVE_NAME 1230
#define IDC_STATS_FILE_COUNT 1231
#define IDC_STATS_ARCHIVE_ORIGINAL 1232   // gauges (gasguage3D)
#define IDC_STATS_ARCHIVE_COMPRESSED 1233
#define IDC_STATS_ARCHIVE_PERCENT 1234
#define IDC_STATS_FILE_NAME 1235
#define IDC_STATS_FILE_ORIGINAL 1236
#define IDC_STATS_FILE_COMPRESSED 1237
#define IDC_STATS_FILE_PERCENT 1238
// Applications and Macros setup: "APPLICATIONS" and "MACROS" (their templates' own numbers).
#define IDC_APPS_LIST 261
#define IDC_APPS_PROGRAM 262
#define IDC_APPS_TEXT 263
#define IDC_APPS_PARAMETERS 264
#define IDC_APPS_DELETE 265
#define IDC_APPS_UPDATE 266
#define IDC_APPS_MINIMIZED 267
#define IDC_MACROS_TEXT 317
#define IDC_MACROS_PROGRAM 318
#define IDC_MACROS_COMMAND 320
#define IDC_MACROS_LIST 322
#define IDC_MACROS_ADD 323
#define IDC_MACROS_DONE 324
#define IDC_MACROS_DELETE 325
#define IDC_MACROS_UPDATE 326
// Program Manager groups and items: "AddItem" and "CreateGroup" (resources/shell.rc).
#define IDC_ADDITEM_PROGRAM 4060
#define IDC_ADDITEM_DESC 4061
#define IDC_GROUP_CAPTION 4062
#define IDC_GROUP_FILE 4063
// Express mode's dialogs (resources/express.rc): "ExpressNewArchive" (with the IDC_NEW_ ids),
// "SelFilesForArc", "ExtractOptions", "ExtractPart", "DeleteFiles" and "ExpressRun".
#define IDC_EX_CURRENT_PATH 1240        // "Current Path:" text
#define IDC_EX_AVAILABLE 1241           // the list to choose from
#define IDC_EX_SELECTED 1242            // the chosen entries
#define IDC_EX_MASK 1243                // "Display Files &Matching:"
#define IDC_EX_SELECT 1244              // "&Select ->"
#define IDC_EX_REMOVE 1245              // "<- &Remove"
#define IDC_EX_SELECT_ALL 1246          // "Select &All"
#define IDC_EX_CHANGE_DIR 1247          // "Change &Directory..." / "Target &Directory"
#define IDC_EX_UPDATE_LIST 1248         // "&Update Listbox"
#define IDC_EX_SWITCHES 1249            // "S&witches..."
#define IDC_EX_ENTIRE 1250              // "Extract &Entire Archive"
#define IDC_EX_SELECTED_ONLY 1251       // "Extract &Selected Files Only"
#define IDC_EX_TARGET 1252              // "Extract To Directory"
#define IDC_EX_BROWSE 1253              // "&Browse..."
#define IDC_EX_RUN_LINE 1254            // "Command &Line:"
#define IDC_EX_RUN_LIST 1255            // the recent command lines
#define IDC_EX_RUN_MINIMIZED 1256       // "Run &Minimized"
#define IDC_EX_RUN_BROWSE 1257          // "&Browse..."
// Virus scans (virus.rc): the drive dialog "SCAN_DRV" and the scans' messages.
#define IDC_SCAN_DRIVE_LETTER 389
#define IDS_DRIVE_LETTER_ONLY 3160      // the drive field holds something other than a letter
#define IDS_SCAN_DIRECTORY_IN_USE 3161  // "...:\n %s\n..." the archive scan's directory
