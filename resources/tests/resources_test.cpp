// Reads the linked-in resources back through the ordinary loaders, the way the program uses
// them: menus (items, texts, grey and check states, popup positions), accelerator tables (by
// translating key presses), the string table, and every icon, bitmap and cursor.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resources/ids.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

std::string MenuText(HMENU menu, UINT item, UINT by) {
  char buf[256] = {};
  int n = GetMenuStringA(menu, item, buf, sizeof buf, by);
  return std::string(buf, n > 0 ? n : 0);
}

std::string LoadText(UINT id) {
  char buf[1024] = {};
  int n = LoadStringA(Self(), id, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

// Every command id reachable in a menu, with how often it occurs.
void CollectIds(HMENU menu, std::multiset<UINT> &ids) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      CollectIds(sub, ids);
    } else if (!(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR)) {
      ids.insert(GetMenuItemID(menu, i));
    }
  }
}

struct Item {
  UINT id;
  const char *text;
  UINT state;  // MF_GRAYED and MF_CHECKED bits expected at load time
};

class ResourceMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    manager_ = LoadMenuA(Self(), IDR_MANAGER);
    express_ = LoadMenuA(Self(), IDR_EXPRESS);
    ASSERT_NE(manager_, nullptr);
    ASSERT_NE(express_, nullptr);
  }
  void TearDown() override {
    DestroyMenu(manager_);
    DestroyMenu(express_);
  }
  static void ExpectItems(HMENU menu, const std::vector<Item> &items) {
    for (const Item &it : items) {
      SCOPED_TRACE(it.id);
      EXPECT_EQ(MenuText(menu, it.id, MF_BYCOMMAND), it.text);
      UINT state = GetMenuState(menu, it.id, MF_BYCOMMAND);
      ASSERT_NE(state, UINT(-1));
      EXPECT_EQ(state & (MF_GRAYED | MF_CHECKED), it.state);
    }
  }
  HMENU manager_ = nullptr;
  HMENU express_ = nullptr;
};

TEST_F(ResourceMenus, ManagerItemsCarryTheirTextsAndStates) {
  ExpectItems(manager_, {
      {IDM_NEW_ARCHIVE, "&New Archive...", 0},
      {IDM_COPY, "&Copy...", 0},
      {IDM_SELECT_ALL_FILES, "Select &All ", 0},
      {IDM_RUN, "&Run...", 0},
      {IDM_EXIT, "E&xit", 0},
      {IDM_EXTRACT, "&Extract", 0},
      {IDM_ADD, "&Add", 0},
      {IDM_MOVE, "&Move", 0},
      {IDM_DELETE_MEMBERS, "&Delete", 0},
      {IDM_FRESHEN, "&Freshen", 0},
      {IDM_UPDATE, "&Update", 0},
      {IDM_SELECT_ALL_MEMBERS, "&Select All", 0},
      {IDM_RENAME_IN_ARJ, "&Rename File(s) In An Arj...", 0},
      {IDM_COMMENT_TITLE, "&Title", 0},
      {IDM_COMMENT_FILES, "&Selected Files", 0},
      {IDM_TEST, "&Test", 0},
      {IDM_JOIN_ARJ, "&Join Arj Files...", 0},
      {IDM_DEFAULTS, "&Quillon Defaults...", 0},
      {IDM_SETUP_PRINTER, "&Setup Printer...", 0},
      {IDM_APPLICATIONS, "&Applications...", 0},
      {IDM_CASCADE, "&Cascade", 0},
      {IDM_TILE_VERTICALLY, "&Tile Vertically", 0},
      {IDM_TILE_HORIZONTALLY, "Tile &Horizontally", 0},
      {IDM_ARRANGE_ICONS, "&Arrange Icons", 0},
      {IDM_ABOUT, "&About...", 0},
      {IDM_RENAME, "R&ename...", 0},
      {IDM_MAKE_DIR, "&Make Directory...", 0},
      {IDM_CHANGE_DIR, "C&hange Directory...", 0},
      {IDM_MOVE_FILES, "Mo&ve...", 0},
      {IDM_FONTS, "&Fonts...", 0},
      {IDM_SHOW_TOOLBAR, "Show &Toolbar", 0},
      {IDM_OPEN, "&Open...", 0},
      {IDM_DELETE_FILES, "&Delete...", 0},
      {IDM_PRINT_LISTING, "&Print Archive Listing...", 0},
      {IDM_ASSOCIATE, "A&ssociate...", 0},
      {IDM_ARJ_SWITCHES, "&Arj...", 0},
      {IDM_ZIP_SWITCHES, "&Zip...", 0},
      {IDM_REPAIR_ARJ, "&Arj File", 0},
      {IDM_REPAIR_ZIP, "&Zip File", 0},
      {IDM_SCAN_DRIVE, "&Drive For Virus...", 0},
      {IDM_SCAN_DIRECTORY, "Directory For &Virus", 0},
      {IDM_SCAN_ARCHIVE, "&Archive For Virus", 0},
      {IDM_CONVERT_ARC_TO_ZIP, "Ar&c to Zip", 0},
      {IDM_SFX_ARJ, "&Arj File", 0},
      {IDM_SFX_ZIP, "&Zip File", 0},
      {IDM_BY_FILE_TYPE, "By File &Type...", 0},
      {IDM_MODE_EXPRESS, "&Express", 0},
      {IDM_MODE_MANAGER, "&Manager", 0},
      {IDM_CONFIRMATION, "&Confirmation...", 0},
      {IDM_MACROS, "&Macros...", 0},
      {IDM_SHOW_DRIVE_BAR, "Show &Drive Bar", 0},
      {IDM_NEW_WINDOW, "&New", 0},
      {IDM_REFRESH, "&Refresh", 0},
      {IDM_HELP_CONTENTS, "&Contents...", 0},
      {IDM_HELP_SEARCH, "&Search For Help On...", 0},
      {IDM_HELP_ON_HELP, "&How To Use Help...", 0},
      {IDM_CONVERT_ZIP1_TO_ZIP2, "Zip 1.x to Zip &2.x Format...", 0},
      {IDM_SELECT_FILES, "Select &Files... ", 0},
      {IDM_ARCHIVE_PROGRESS, "&Archive Progress...", 0},
      {IDM_PROPERTIES, "Proper&ties...", 0},
      {IDM_ZIP_OPTIONS, "&Zip Options...", MF_GRAYED},  // the internal engine is the default
      {IDM_NEW_ITEM, "New &Item...", 0},
      {IDM_NEW_GROUP, "New &Group...", 0},
      {IDM_CLOSE_ALL, "Cl&ose All", 0},
      {IDM_FILE_STATISTICS, "&File Statistics...", 0},
      {IDM_INSTALL_FM_EXT, "&Install File Manager Ext", 0},
      {IDM_REMOVE_FM_EXT, "&Remove File Manager Ext", 0},
      {IDM_CLEAR_ARCHIVE, "Clear Archive &Window", 0},
      {IDM_DEFAULT_ZIP, "Select Default ZIP &Program To Use...", 0},
      // Mail starts logged off: only logging on is possible.
      {IDM_MAIL_LOGON, "&Log On To Mail Server", 0},
      {IDM_MAIL_LOGOFF, "Log &Off", MF_GRAYED},
      {IDM_MAIL_SEND, "&Send Mail", MF_GRAYED},
      {IDM_MAIL_FIND_FIRST, "&Find First Item", MF_GRAYED},
      {IDM_MAIL_FIND_NEXT, "Find &Next Item", MF_GRAYED},
      {IDM_MAIL_READ, "&Read Your Mail", MF_GRAYED},
      {IDM_MAIL_DELETE, "&Delete Mail", MF_GRAYED},
  });
  for (UINT id : {IDM_CONVERT_ZIP_TO_ARJ, IDM_CONVERT_ARJ_TO_ZIP, IDM_CONVERT_ARC_TO_ARJ,
                  IDM_CONVERT_LZH_TO_ARJ, IDM_CONVERT_LZH_TO_ZIP}) {
    EXPECT_NE(GetMenuState(manager_, id, MF_BYCOMMAND), UINT(-1)) << id;
  }
}

TEST_F(ResourceMenus, ExpressItemsCarryTheirTextsAndStates) {
  ExpectItems(express_, {
      {IDM_EX_NEW, "&New...\tCTRL + N", 0},
      {IDM_EX_PRINT_LISTING, "&Print Archive Listing...", 0},
      {IDM_EX_EXIT, "E&xit", 0},
      {IDM_EX_ADD, "&Add", 0},
      {IDM_EX_MOVE, "&Move", 0},
      {IDM_EX_DELETE, "&Delete", 0},
      {IDM_EX_FRESHEN, "&Freshen", 0},
      {IDM_EX_UPDATE, "&Update", 0},
      {IDM_EX_TEST, "&Test", 0},
      {IDM_ARJ_SWITCHES, "&Arj...", 0},
      {IDM_ZIP_SWITCHES, "&Zip...", 0},
      {IDM_EX_ZIP_OPTIONS, "Zip &Options...", MF_GRAYED},
      {IDM_EX_SFX_ARJ, "&Arj File", 0},
      {IDM_EX_SFX_ZIP, "&Zip File", 0},
      {IDM_EX_REPAIR_ARJ, "&Arj File", 0},
      {IDM_EX_REPAIR_ZIP, "&Zip File", 0},
      {IDM_EX_ARCHIVE_PROGRESS, "&Archive Progress...", 0},
      {IDM_EX_MODE_EXPRESS, "&Express", 0},
      {IDM_EX_MODE_MANAGER, "&Manager", 0},
      {IDM_EX_SETUP_PRINTER, "&Setup Printer...", 0},
      {IDM_EX_EXTRACT, "&Extract...\tCtrl + X", 0},
      {IDM_HELP_CONTENTS, "&Contents...", 0},
      {IDM_HELP_SEARCH, "&Search For Help On...", 0},
      {IDM_HELP_ON_HELP, "&How To Use Help...", 0},
      {IDM_ABOUT, "&About...", 0},
  });
}

TEST_F(ResourceMenus, CommandsWithoutMenuEntryAreAbsent) {
  for (UINT id : {IDM_COMMENT_FILES_ALT1, IDM_COMMENT_FILES_ALT2, IDM_TILE, IDM_DELETE_FOCUSED,
                  IDM_DELETE_DIR, IDM_SELECT_ALL_FOCUSED, IDM_MAIL_BUTTON, IDM_PARENT_DIR,
                  IDM_LONG_NAMES, IDM_SHORT_NAMES}) {
    EXPECT_EQ(GetMenuState(manager_, id, MF_BYCOMMAND), UINT(-1)) << id;
  }
  for (UINT id : {IDM_EX_RUN, IDM_EX_ARJ_SWITCHES, IDM_EX_ZIP_SWITCHES, IDM_NEW_ARCHIVE,
                  IDM_ARCHIVE_PROGRESS, IDM_MAIL_LOGON}) {
    EXPECT_EQ(GetMenuState(express_, id, MF_BYCOMMAND), UINT(-1)) << id;
  }
}

TEST_F(ResourceMenus, EachCommandOccursOnceInEachMenu) {
  for (HMENU menu : {manager_, express_}) {
    std::multiset<UINT> ids;
    CollectIds(menu, ids);
    for (UINT id : ids) EXPECT_EQ(ids.count(id), 1u) << id;
  }
}

TEST_F(ResourceMenus, ManagerPopupsSitAtTheirPositions) {
  EXPECT_EQ(GetMenuItemCount(manager_), 10);
  struct { int pos; const char *text; } popups[] = {
      {MANAGER_POS_FILE, "&File"},         {MANAGER_POS_EDIT, "&Edit"},
      {MANAGER_POS_VIEW, "&View"},         {MANAGER_POS_OPTIONS, "&Options"},
      {MANAGER_POS_MACROS, "Ma&cros"},     {MANAGER_POS_MODE, "&Mode"},
      {MANAGER_POS_MAIL, "M&ail"},         {MANAGER_POS_APPLICATIONS, "A&pplications"},
      {MANAGER_POS_WINDOW, "&Window"},     {MANAGER_POS_HELP, "&Help"},
  };
  for (const auto &p : popups) {
    EXPECT_EQ(MenuText(manager_, p.pos, MF_BYPOSITION), p.text);
    EXPECT_NE(GetSubMenu(manager_, p.pos), nullptr) << p.text;
  }
  // Express has no window list and no Applications or Macros popups.
  EXPECT_EQ(GetMenuItemCount(express_), 5);
  EXPECT_EQ(MenuText(express_, 0, MF_BYPOSITION), "&File");
  EXPECT_EQ(MenuText(express_, 4, MF_BYPOSITION), "&Help");
}

TEST_F(ResourceMenus, ApplicationsAndMacrosStartWithAGreyedPlaceholder) {
  struct { int pos; UINT id; const char *text; UINT first, last; } cases[] = {
      {MANAGER_POS_APPLICATIONS, IDM_APPS_NONE, "None Setup", IDM_APP_FIRST, IDM_APP_LAST},
      {MANAGER_POS_MACROS, IDM_MACROS_NONE, "None Defined", IDM_MACRO_FIRST, IDM_MACRO_LAST},
  };
  for (const auto &c : cases) {
    HMENU popup = GetSubMenu(manager_, c.pos);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 1);
    EXPECT_EQ(GetMenuItemID(popup, 0), c.id);
    EXPECT_EQ(MenuText(popup, 0, MF_BYPOSITION), c.text);
    EXPECT_TRUE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);
    // The placeholder must never be taken for a slot command (applications run up to
    // one past their last slot).
    EXPECT_FALSE(c.id >= c.first && c.id <= c.last + 1) << c.text;
  }
}

TEST_F(ResourceMenus, WindowAndMailPopupsHoldTheirItems) {
  HMENU window = GetSubMenu(manager_, MANAGER_POS_WINDOW);
  std::multiset<UINT> ids;
  CollectIds(window, ids);
  EXPECT_EQ(ids, (std::multiset<UINT>{IDM_NEW_WINDOW, IDM_CASCADE, IDM_TILE_VERTICALLY,
                                      IDM_TILE_HORIZONTALLY, IDM_ARRANGE_ICONS, IDM_REFRESH,
                                      IDM_CLEAR_ARCHIVE, IDM_CLOSE_ALL}));
  HMENU mail = GetSubMenu(manager_, MANAGER_POS_MAIL);
  ids.clear();
  CollectIds(mail, ids);
  EXPECT_EQ(ids, (std::multiset<UINT>{IDM_MAIL_LOGON, IDM_MAIL_LOGOFF, IDM_MAIL_SEND,
                                      IDM_MAIL_FIND_FIRST, IDM_MAIL_FIND_NEXT, IDM_MAIL_READ,
                                      IDM_MAIL_DELETE}));
}

TEST_F(ResourceMenus, ListBoxMenusOfferTheirCommandsInTheFirstPopup) {
  struct { const char *name; std::vector<std::pair<UINT, const char *>> items; } menus[] = {
      {IDR_POPUP_FILE, {{IDM_NEW_ARCHIVE, "&New..."}, {IDM_EXTRACT, "&Extract..."},
                        {IDM_SFX_ZIP, "&Zip File"}, {IDM_MOVE_FILES, "&Move..."},
                        {IDM_ASSOCIATE, "&Associate..."}, {IDM_MAKE_DIR, "Ma&ke Directory..."},
                        {IDM_SELECT_ALL_FILES, "Select &All"}, {IDM_SCAN_ARCHIVE, "&Archive For Virus"}}},
      {IDR_POPUP_ARCHIVE, {{IDM_ADD, "&Add"}, {IDM_MOVE, "&Move..."}, {IDM_DELETE_MEMBERS, "&Delete..."},
                           {IDM_SELECT_ALL_MEMBERS, "Select &All"}, {IDM_COMMENT_FILES, "&Selected Files"},
                           {IDM_SFX_ARJ, "Arj File"}, {IDM_SCAN_DRIVE, "&Drive For Virus..."}}},
  };
  for (const auto &m : menus) {
    HMENU menu = LoadMenuA(Self(), m.name);
    ASSERT_NE(menu, nullptr) << m.name;
    HMENU first = GetSubMenu(menu, 0);
    ASSERT_NE(first, nullptr) << m.name;
    for (const auto &it : m.items) EXPECT_EQ(MenuText(first, it.first, MF_BYCOMMAND), it.second);
    DestroyMenu(menu);
  }
  HMENU file = LoadMenuA(Self(), IDR_POPUP_FILE);
  HMENU first = GetSubMenu(file, 0);
  EXPECT_EQ(MenuText(first, 0, MF_BYPOSITION), "&Archive Commands");
  EXPECT_EQ(MenuText(first, 1, MF_BYPOSITION), "&File Commands");
  EXPECT_EQ(MenuText(first, 2, MF_BYPOSITION), "&Virus Scan");
  DestroyMenu(file);
}

// ---------------------------------------------------------------------------------------------

LRESULT CALLBACK RecordCommand(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && HIWORD(wp) == 1) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, LOWORD(wp));
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

class ResourceAccelerators : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordCommand;
    wc.hInstance = Self();
    wc.lpszClassName = "QlAccelProbe";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowA("QlAccelProbe", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                          Self(), nullptr);
    ASSERT_NE(hwnd_, nullptr);
    GetKeyboardState(saved_);
  }
  void TearDown() override {
    SetKeyboardState(saved_);
    DestroyWindow(hwnd_);
  }
  // The command the table gives for a key press with the modifiers held, or 0.
  int Translate(HACCEL table, UINT vk, bool ctrl, bool shift, bool alt) {
    BYTE keys[256] = {};
    if (ctrl) keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    if (shift) keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    if (alt) keys[VK_MENU] = keys[VK_LMENU] = 0x80;
    SetKeyboardState(keys);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    MSG msg = {};
    msg.hwnd = hwnd_;
    msg.message = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1 | (alt ? (1 << 29) : 0);
    if (!TranslateAcceleratorA(hwnd_, table, &msg)) return 0;
    return int(GetWindowLongPtrA(hwnd_, GWLP_USERDATA));
  }
  HWND hwnd_ = nullptr;
  BYTE saved_[256] = {};
};

struct Key {
  UINT vk;
  bool ctrl, shift, alt;
  int command;  // 0: the key must not translate
};

TEST_F(ResourceAccelerators, ManagerTableTranslatesItsKeys) {
  HACCEL table = LoadAcceleratorsA(Self(), IDR_MANAGER);
  ASSERT_NE(table, nullptr);
  const Key keys[] = {
      {'N', true, false, false, IDM_NEW_ARCHIVE},      {VK_RETURN, false, false, true, IDM_PROPERTIES},
      {VK_F5, false, false, false, IDM_REFRESH},       {VK_F7, false, false, false, IDM_MOVE_FILES},
      {VK_F8, false, false, false, IDM_COPY},          {'O', true, false, false, IDM_OPEN},
      {'X', true, false, false, IDM_EXTRACT},          {'A', true, false, false, IDM_ADD},
      {'M', true, false, false, IDM_MOVE},             {'F', true, false, false, IDM_FRESHEN},
      {'U', true, false, false, IDM_UPDATE},           {'R', true, false, false, IDM_RENAME_IN_ARJ},
      {'T', true, false, false, IDM_TEST},             {'J', true, false, false, IDM_JOIN_ARJ},
      {'D', false, false, true, IDM_CHANGE_DIR},       {'W', false, false, true, IDM_NEW_WINDOW},
      {VK_F5, false, true, false, IDM_CASCADE},        {VK_F4, false, true, false, IDM_TILE_VERTICALLY},
      {VK_F6, false, true, false, IDM_TILE_HORIZONTALLY}, {VK_DELETE, false, false, false, IDM_DELETE_FOCUSED},
      // Near misses: plain letters, the wrong modifier, Express-only keys.
      {'N', false, false, false, 0},                   {'D', true, false, false, 0},
      {VK_RETURN, false, false, false, 0},             {VK_F4, false, false, false, 0},
      {VK_DELETE, false, true, false, 0},              {'M', false, false, false, 0},
  };
  for (const Key &k : keys) {
    EXPECT_EQ(Translate(table, k.vk, k.ctrl, k.shift, k.alt), k.command)
        << "key " << k.vk << " ctrl " << k.ctrl << " shift " << k.shift << " alt " << k.alt;
  }
  EXPECT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 20);
}

TEST_F(ResourceAccelerators, ExpressTableTranslatesItsKeys) {
  HACCEL table = LoadAcceleratorsA(Self(), IDR_EXPRESS);
  ASSERT_NE(table, nullptr);
  const Key keys[] = {
      {'N', true, false, false, IDM_EX_NEW},     {'X', true, false, false, IDM_EX_EXTRACT},
      {'A', true, false, false, IDM_EX_ADD},     {'M', true, false, false, IDM_EX_MOVE},
      {'D', true, false, false, IDM_EX_DELETE},  {'F', true, false, false, IDM_EX_FRESHEN},
      {'U', true, false, false, IDM_EX_UPDATE},  {'T', true, false, false, IDM_EX_TEST},
      {VK_DELETE, false, false, false, 0},       {VK_F5, false, false, false, 0},
      {'O', true, false, false, 0},              {'D', false, false, true, 0},
  };
  for (const Key &k : keys) {
    EXPECT_EQ(Translate(table, k.vk, k.ctrl, k.shift, k.alt), k.command)
        << "key " << k.vk << " ctrl " << k.ctrl << " shift " << k.shift << " alt " << k.alt;
  }
  EXPECT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 8);
}

// ---------------------------------------------------------------------------------------------

TEST(ResourceStrings, ReadsBackVerbatim) {
  const std::pair<UINT, const char *> strings[] = {
      {IDS_CANNOT_CREATE_DIALOG, " Cannot create dialog box "},
      {IDS_PICK_ADD, " File Add request, Select a destination archive"},
      {IDS_PICK_MOVE, "File Move request, Select a destination archive"},
      {IDS_NEED_DIRECTORY_NAME, "You must enter a directory name!"},
      {IDS_CREATE_DIRECTORY_ASK,
       "The following directory:\n%s\n Does not exist.\nWould you like to create it?"},
      {IDS_ONLY_ZIP_FILES, "Only ZIP files can be used with this command!"},
      {IDS_READY, "Ready"},
      {IDS_HINT_NEW_ARCHIVE, " Create a new archive file"},
      {IDS_HINT_SFX_ARJ, " Create self-extracting"},
      {IDS_HINT_SFX_ZIP, " Create self-extracting"},
      {IDS_HINT_CLOSE_ALL, " Closes all but One window"},
      {IDS_HINT_PARENT_DIR, "Goto Parent Directory."},
      {IDS_NO_MEMORY, "Couldn't allocate enough memory for this operation!"},
      {IDS_WINDOW_LIMIT, "The maximum window limit is: %d."},
      {IDS_INVALID_ARCHIVE_NAME,
       "Invalid archive filename! Valid file names have an ZIP, ARJ or Zip EXE extensions."},
      {IDS_NO_DISK_SPACE, "Insufficient disk space available,\nor a read only disk was selected."},
      {IDS_ARCHIVE_NOT_CREATED, "Quillon didn't create the requested archive:\n %s"},
      {IDS_ZIP_INVALID_NAMED, "%s\nThis Zip file may be invalid,damaged, or a multiple volume Zip."},
      {IDS_ENTER_PROGRAM_NAME, "Please enter an program name\nIt must have an EXE or COM extension"},
      {IDS_ENTER_VIRUS_PROGRAM, "Please enter a virus detection program, or enter NONE in this field"},
      {IDS_TEMP_FILE_FAILED, "Quillon couldn't create its temporary file:\n[%s]"},
      {IDS_ARJ_INVALID, "This file appears to be a damaged or invalid ARJ file."},
      {IDS_FILE_MISSING,
       "Quillon can't find the following file:\n%s\nThis file MUST be located in the Quillon directory."},
      {IDS_MAY_BE_DAMAGED, "Caution! %s may be damaged,or a multiple volume.\nYou may need to repair it."},
      {IDS_ZIP_INVALID, "This Zip file may be invalid,damaged, or a multiple volume Zip."},
      {IDS_NO_SELECTION, "No files have been selected for this operation."},
      {IDS_FILES_ONLY, "You can copy and move files only\n.Use File Manager for Directory Copy and Move."},
      {IDS_SHELL_OPEN, "You can't close Quillon with\nthe Quillon command shell open!"},
      {IDS_DIR_TOTALS, "%ld Bytes In %d Files."},
      {IDS_ARCHIVE_TOTALS, "%d Files at %.1f%%"},
      {IDS_NEED_ARCHIVE_FILE, "You Must Specify An Arj, Zip Or Zip Exe File For This Operation."},
      {IDS_NEED_SELECTED_FILE, "You Must Have At Least One File In The 'Selected Files' Listbox."},
      {IDS_CANNOT_LOAD_LIBRARY, "Error: Unable To Load %s.  Aborting."},
      {IDS_NAME_TOO_LONG, "Filename Exceeds The Maximum Number of Charcters! "},
      {IDS_DIR_LINE_FORMAT, "%s\t%s\t%ld\t%02d/%02d/%02d\t%02d:%02d%c"},
      {IDS_APPLICATIONS_FULL, "You can only add %d items to the Applications Menu"},
      {IDS_MULTI_VOLUME_ZIP, "Can't read multiple volume ZIP files!\nA macro would have to be made to extract it."},
      {IDS_CANNOT_RUN,
       "Error: Unable to run this file. Please check to make sure that the program exists or is in the "
       "right directory."},
      {IDS_CANNOT_DELETE_DIR,
       "Unable To Delete This Directory. It May Read Only Or Another Process May Be Using It."},
      {IDS_SELECT_AN_ITEM, "Error: You must select an item for this function to work."},
  };
  for (const auto &s : strings) EXPECT_EQ(LoadText(s.first), s.second) << s.first;
}

TEST(ResourceStrings, EveryMessageNumberHasText) {
  const UINT ids[] = {101, 232, 233, 415, 421, 425, 3000, 3001, 3002, 3003, 3004, 3005, 3006,
                      3007, 3012, 3013, 3014, 3016, 3017, 3018, 3019, 3020, 3021, 3022, 3023,
                      3025, 3027, 3028, 3029, 3031, 3035, 3037, 3038, 3039, 3040, 3041, 3042,
                      3043, 3044, 3045, 3047, 3048, 3050, 3051, 3052, 3053, 3054, 3055, 3056,
                      3057, 3058, 3059, 3060, 3061, 3062, 3063, 3064, 3065, 3066, 3067, 3068,
                      3069, 3070, 3071, 3072, 3074, 3075, 3076, 3078, 3079};
  for (UINT id : ids) EXPECT_FALSE(LoadText(id).empty()) << id;
}

// ---------------------------------------------------------------------------------------------

struct Picture {
  const char *name;
  int width, height;
};

COLORREF CornerColour(HBITMAP bitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF c = GetPixel(dc, 0, 0);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

TEST(ResourcePictures, BitmapsLoadWithTheirSizeAndBackground) {
  // Drive-bar buttons and the tool bar sit on the button face; list items on the window colour.
  const Picture drive[] = {{IDB_HARDDRIVE, 16, 16}, {IDB_FLOPPY, 16, 16}, {IDB_RAMDRIVE, 16, 16},
                           {IDB_CDROM, 16, 16},     {IDB_NETDRV, 16, 16},  {IDB_NETDISABLED, 16, 16}};
  const Picture items[] = {{IDB_ARJFILE, 16, 16},   {IDB_ZIPFILE, 16, 16},    {IDB_WAVEFILE, 16, 16},
                           {IDB_AVIFILE, 16, 16},   {IDB_EXEFILE, 16, 16},    {IDB_LBFD, 16, 16},
                           {IDB_LBHD, 16, 16},      {IDB_LBNETDRIVE, 16, 16}, {IDB_LBNETDISABLED, 16, 16},
                           {IDB_LBCDROM, 16, 16},   {IDB_LBRAMDRIVE, 16, 16}, {IDB_DOUBLEDOTS, 16, 16},
                           {IDB_DIR, 16, 16},       {IDB_COMMENT, 16, 16},    {IDB_TEXTFILE, 16, 16},
                           {IDB_FILE, 16, 16}};
  auto check = [](const Picture &p, COLORREF background) {
    HBITMAP b = LoadBitmapA(Self(), p.name);
    ASSERT_NE(b, nullptr) << p.name;
    BITMAP info = {};
    ASSERT_TRUE(GetObjectA(b, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, p.width) << p.name;
    EXPECT_EQ(info.bmHeight, p.height) << p.name;
    EXPECT_EQ(CornerColour(b), background) << p.name;
    DeleteObject(b);
  };
  for (const Picture &p : drive) check(p, RGB(0xC0, 0xC0, 0xC0));
  for (const Picture &p : items) check(p, RGB(0xFF, 0xFF, 0xFF));

  HBITMAP strip = LoadBitmapA(Self(), MAKEINTRESOURCEA(IDB_TOOLBAR));
  ASSERT_NE(strip, nullptr);
  BITMAP info = {};
  ASSERT_TRUE(GetObjectA(strip, sizeof info, &info));
  EXPECT_EQ(info.bmWidth, TOOLBAR_IMAGE_COUNT * TOOLBAR_IMAGE_WIDTH);
  EXPECT_EQ(info.bmHeight, TOOLBAR_IMAGE_HEIGHT);
  EXPECT_EQ(CornerColour(strip), RGB(0xC0, 0xC0, 0xC0));
  DeleteObject(strip);
}

TEST(ResourcePictures, IconsAndCursorsLoad) {
  for (const char *name : {IDI_ZIP, IDI_ARJ, IDI_NOARCHIVE, IDI_QL4}) {
    HICON icon = LoadIconA(Self(), name);
    ASSERT_NE(icon, nullptr) << name;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << name;
    EXPECT_TRUE(info.fIcon) << name;
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32) << name;
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
  struct { const char *name; DWORD x, y; } cursors[] = {
      {IDCUR_COPY, 0, 0},      {IDCUR_FILEMOV, 0, 0}, {IDCUR_MULTCOPY, 0, 0},
      {IDCUR_MULTMOVE, 0, 0},  {IDCUR_NODROP, 15, 15}, {IDCUR_RESIZE, 15, 15},
  };
  for (const auto &c : cursors) {
    HCURSOR cursor = LoadCursorA(Self(), c.name);
    ASSERT_NE(cursor, nullptr) << c.name;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info)) << c.name;
    EXPECT_FALSE(info.fIcon) << c.name;
    EXPECT_EQ(info.xHotspot, c.x) << c.name;
    EXPECT_EQ(info.yHotspot, c.y) << c.name;
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
}

}  // namespace
