// The archive operations' dialogs driven as a user would: boxes checked, buttons pressed, and what
// they leave in the switch set and the settings file. With QL_DIALOG_SHOTS naming a directory, each
// dialog is also saved there as a bitmap the first time it is seen.
#include "engine/dialogs_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/dialog_kit_win.h"
#include "common/shared_win.h"
#include "resources/ids.h"
#include "engine/tests/dialog_shot.h"
#include "tests/support/win_test_support.h"

namespace ql {
namespace {

using qltest::DialogWatcher;
using qltest::SeenDialog;

std::string IniValue(const std::string& ini, const char* key) {
  char buf[64] = "";
  GetPrivateProfileStringA("switches", key, "<missing>", buf, sizeof buf, ini.c_str());
  return buf;
}

void Click(HWND dialog, int id) {
  SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The entries of a combo box's list, in their order.
std::vector<std::string> ComboEntries(HWND dialog, int id) {
  std::vector<std::string> entries;
  LRESULT n = SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    char text[300] = "";
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

bool IsChecked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// Opens the Zip switches dialog and from it the path storage dialog, where `inPathStorage` acts and
// chooses the button that ends it; the switches dialog then ends with `switchesButton`.
void ThroughPathStorage(const std::function<int(HWND pathStorage)>& inPathStorage, int switchesButton) {
  std::atomic<int> step{0};
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
    if (s.title == "Path Storage Switches") {
      Shoot(d, s.title);
      int button = inPathStorage(d);
      step = 2;
      return button;
    }
    if (step == 0) {
      step = 1;
      PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_SW_PATH_STORAGE, BN_CLICKED), 0);
      return 0;
    }
    return step == 2 ? switchesButton : 0;
  });
  OpenZipSwitches(nullptr);
}

class DialogsTest : public ::testing::Test {
 protected:
  qltest::TempDir dir{"qldialogs"};
  std::string ini;
  void SetUp() override {
    ini = dir / "ql53intl.ini";
    g_dialogHost.iniPath = ini;
    g_switches = SwitchSet{};
    SetBit(g_switches, Sw::OverwriteExisting, true);
  }
};

TEST_F(DialogsTest, ZipSwitchesGreysEngineControlsAndWritesOverwriteChoices) {
  SetBit(g_switches, Sw::KeepBackup, true);
  SetBit(g_switches, Sw::IncAnyFileAttrib, true);
  SetBit(g_switches, Sw::FastestCompression, true);
  std::atomic<bool> greyed{false}, ungreyedRest{false}, fastestShown{false}, overwriteShown{false};
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      Shoot(d, s.title);
      greyed = !IsEnabled(d, IDC_SW_PASSWORD) && !IsEnabled(d, IDC_SW_MULTI_VOLUME) && !IsEnabled(d, IDC_SW_BY_NAME) &&
               !IsEnabled(d, IDC_SW_REVERSE) && !IsEnabled(d, IDC_SW_VOLUME_LABEL) &&
               !IsEnabled(d, IDC_SW_EXTRACT_PASSWORD);
      ungreyedRest = IsEnabled(d, IDC_SW_RECURSE) && IsEnabled(d, IDC_SW_MAXIMUM) && IsEnabled(d, IDC_SW_ONLY_NEWER);
      fastestShown = IsChecked(d, IDC_SW_FASTEST) && !IsChecked(d, IDC_SW_MAXIMUM);
      overwriteShown = IsChecked(d, IDC_SW_OVERWRITE_ALL);
      Click(d, IDC_SW_ONLY_NEWER);
      Click(d, IDC_SW_RECURSE);
      Click(d, IDC_SW_MAXIMUM);
      return IDOK;
    });
    EXPECT_EQ(IDOK, OpenZipSwitches(nullptr));
  }
  EXPECT_TRUE(greyed) << "the internal engine has no password, volumes, order or labels";
  EXPECT_TRUE(ungreyedRest);
  EXPECT_TRUE(fastestShown);
  EXPECT_TRUE(overwriteShown);
  EXPECT_FALSE(g_cancelled);
  EXPECT_TRUE(On(g_switches, Sw::ExtractOnlyNewer));
  EXPECT_FALSE(On(g_switches, Sw::OverwriteExisting));
  EXPECT_TRUE(On(g_switches, Sw::RecurseSubdirs));
  EXPECT_TRUE(On(g_switches, Sw::MaximumCompression));
  EXPECT_FALSE(On(g_switches, Sw::FastestCompression));
  EXPECT_FALSE(On(g_switches, Sw::KeepBackup));
  EXPECT_FALSE(On(g_switches, Sw::IncAnyFileAttrib));
  EXPECT_EQ("On", IniValue(ini, "extract_only_newer_files"));
  EXPECT_EQ("Off", IniValue(ini, "overwrite_existing_files"));
  EXPECT_EQ("Off", IniValue(ini, "keep_backup"));
  EXPECT_EQ("Off", IniValue(ini, "inc_any_file_attrib"));
  EXPECT_EQ("On", IniValue(ini, "maximum_compression"));
  EXPECT_EQ("Off", IniValue(ini, "fastest_compression"));
  EXPECT_EQ("None", IniValue(ini, "store_pathnames"));
  EXPECT_EQ("<missing>", IniValue(ini, "extract_volume_label")) << "only the Arj dialog writes it";
}

TEST_F(DialogsTest, DontOverwriteWritesBothOffAndArjShowsItsLabelBox) {
  SetBit(g_switches, Sw::ExtractVolumeLabel, true);
  std::atomic<bool> labelShown{false}, passwordEnabled{false};
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      Shoot(d, s.title);
      labelShown = IsChecked(d, IDC_SW_EXTRACT_LABEL);
      passwordEnabled = IsEnabled(d, IDC_SW_PASSWORD);
      Click(d, IDC_SW_NO_OVERWRITE);
      return IDOK;
    });
    EXPECT_EQ(IDOK, OpenArjSwitches(nullptr));
  }
  EXPECT_TRUE(labelShown);
  EXPECT_TRUE(passwordEnabled) << "only the Zip dialog greys for the internal engine";
  EXPECT_FALSE(On(g_switches, Sw::OverwriteExisting));
  EXPECT_FALSE(On(g_switches, Sw::ExtractOnlyNewer));
  EXPECT_EQ("Off", IniValue(ini, "overwrite_existing_files"));
  EXPECT_EQ("Off", IniValue(ini, "extract_only_newer_files"));
  EXPECT_EQ("On", IniValue(ini, "extract_volume_label"));
}

TEST_F(DialogsTest, CancelChangesNothingAndSetsTheCancelledFlag) {
  SwitchSet before = g_switches;
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog&) {
      Click(d, IDC_SW_NO_OVERWRITE);
      Click(d, IDC_SW_RECURSE);
      return IDCANCEL;
    });
    EXPECT_EQ(IDCANCEL, OpenZipSwitches(nullptr));
  }
  EXPECT_TRUE(g_cancelled);
  EXPECT_EQ(before.bits, g_switches.bits);
  EXPECT_EQ("<missing>", IniValue(ini, "overwrite_existing_files"));
}

TEST_F(DialogsTest, PathStorageChoiceTakesEffectWhenTheSwitchesDialogIsConfirmed) {
  // The path dialog opens from the switches dialog; the switches dialog is confirmed after it.
  for (bool confirm : {false, true}) {
    std::atomic<bool> noteGreyBefore{false};
    ThroughPathStorage(
        [&](HWND d) {
          noteGreyBefore = IsChecked(d, IDC_PATH_NONE);
          Click(d, IDC_PATH_RELATIVE);
          return IDOK;
        },
        confirm ? IDOK : IDCANCEL);
    EXPECT_TRUE(noteGreyBefore) << "None is derived when nothing was chosen";
    if (confirm) {
      EXPECT_EQ(PathStorage::Relative, PathMode(g_switches));
      EXPECT_EQ("Relative", IniValue(ini, "store_pathnames"));
    } else {
      EXPECT_EQ(PathStorage::None, PathMode(g_switches));
      EXPECT_EQ("<missing>", IniValue(ini, "store_pathnames"));
      g_switches.pathStorageChoice = 0;
    }
  }
}

// The path storage note's brush is made once, kept between openings, and freed by the release
// at the end of the program; the dialog makes a new one when it is opened again.
TEST_F(DialogsTest, TheNoteBrushLastsUntilTheDialogObjectsAreReleased) {
  auto noteBrush = [] {
    std::atomic<HBRUSH> brush{nullptr};
    ThroughPathStorage(
        [&](HWND d) {
          HWND note = GetDlgItem(d, IDC_PATH_NOTE);
          HDC dc = GetDC(note);
          brush = reinterpret_cast<HBRUSH>(
              SendMessageA(d, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(note)));
          ReleaseDC(note, dc);
          return IDCANCEL;
        },
        IDCANCEL);
    return brush.load();
  };
  HBRUSH first = noteBrush();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(first)));
  EXPECT_EQ(first, noteBrush()) << "one brush for every opening";
  ReleaseDialogObjects();
  EXPECT_EQ(0, static_cast<int>(GetObjectType(first))) << "the brush is deleted";
  ReleaseDialogObjects();  // a second release finds nothing to free
  HBRUSH again = noteBrush();
  ASSERT_NE(nullptr, again);
  EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(again)));
  ReleaseDialogObjects();
}

TEST_F(DialogsTest, ZipOptionsReadTheirKeysAfreshAndWriteThem) {
  WritePrivateProfileStringA("switches", "zip_DPMI", "On", ini.c_str());
  WritePrivateProfileStringA("switches", "net_detect", "on", ini.c_str());  // not exactly "On"
  WritePrivateProfileStringA("switches", "slow_mem_copy", "Maybe", ini.c_str());
  std::atomic<bool> dpmi{false}, net{true}, slow{false};
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      Shoot(d, s.title);
      dpmi = IsChecked(d, IDC_OPT_NO_DPMI);
      net = IsChecked(d, IDC_OPT_NO_NET);
      slow = IsChecked(d, IDC_OPT_SLOW_MEMCOPY);
      Click(d, IDC_OPT_NO_EMS);
      return IDOK;
    });
    OpenZipOptions(nullptr);
  }
  EXPECT_TRUE(dpmi);
  EXPECT_FALSE(net);
  EXPECT_TRUE(slow) << "Use Slow MemCopy is clear only on \"Off\"";
  EXPECT_TRUE(On(g_switches, Sw::EmsUsage));
  EXPECT_FALSE(Bit(g_switches, Sw::EmsUsage)) << "a Disable box clears its bit";
  EXPECT_EQ("On", IniValue(ini, "EMSUsage"));
  EXPECT_EQ("Off", IniValue(ini, "net_detect"));
  EXPECT_EQ("On", IniValue(ini, "slow_mem_copy"));
}

TEST_F(DialogsTest, DefaultProgramChoiceSetsUsePkzip) {
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      Shoot(d, s.title);
      Click(d, IDC_DEFZIP_DOS);
      return IDOK;
    });
    EXPECT_EQ(IDOK, OpenDefaultZip(nullptr));
  }
  EXPECT_TRUE(On(g_switches, Sw::UsePkzip));
  EXPECT_EQ("On", IniValue(ini, "use_pkzip"));
  EXPECT_FALSE(UseEngine(g_switches));
}

TEST_F(DialogsTest, PasswordKeepsThirtyNineCharactersAndCancelAbandons) {
  const std::string typed(50, 'k');
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      Shoot(d, s.title);
      SetDlgItemTextA(d, IDC_PASSWORD_EDIT, typed.c_str());
      return IDOK;
    });
    EXPECT_TRUE(AskPasswordDialog(nullptr, g_switches));
  }
  EXPECT_EQ(std::string(39, 'k'), g_switches.archivePassword);
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          [&](HWND, const SeenDialog&) { return IDCANCEL; });
    EXPECT_FALSE(AskPasswordDialog(nullptr, g_switches));
  }
  EXPECT_TRUE(g_cancelled);
  EXPECT_EQ(std::string(39, 'k'), g_switches.archivePassword) << "kept between operations";
}

TEST_F(DialogsTest, DeleteConfirmationShowsTheNamesAndGivesEachAnswer) {
  struct Case {
    int button;
    DeleteAnswer answer;
  } cases[] = {{IDC_DELETE_YES, DeleteAnswer::Yes},
               {IDC_DELETE_YES_ALL, DeleteAnswer::YesToAll},
               {IDC_DELETE_NO, DeleteAnswer::No},
               {IDCANCEL, DeleteAnswer::None}};
  for (const Case& c : cases) {
    std::string text;
    {
      DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
        Shoot(d, s.title);
        return c.button;
      });
      EXPECT_EQ(c.answer, ConfirmDeleteDialog(nullptr, "Delete selected files in archive?", "A.TXT B.TXT ..."));
      ASSERT_EQ(1u, watcher.Seen().size());
      text = watcher.Seen()[0].text;
    }
    EXPECT_NE(std::string::npos, text.find("Delete selected files in archive?"));
    EXPECT_NE(std::string::npos, text.find("A.TXT B.TXT ..."));
    EXPECT_EQ(c.button == IDCANCEL, g_cancelled);
  }
}

TEST_F(DialogsTest, TargetIsTheDefaultOrTheCurrentDirectory) {
  std::string target;
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      Shoot(d, s.title);
      return IsEnabled(d, IDC_TARGET_SELECT) ? IDCANCEL : IDOK;  // Select Other is grey for the default
    });
    ASSERT_TRUE(ConfirmTargetDialog(nullptr, "C:\\TARGET", &target));
  }
  EXPECT_EQ("C:\\TARGET", target);
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog&) {
      Click(d, IDC_TARGET_CURRENT);
      return IsEnabled(d, IDC_TARGET_SELECT) ? IDOK : IDCANCEL;
    });
    ASSERT_TRUE(ConfirmTargetDialog(nullptr, "C:\\TARGET", &target));
  }
  EXPECT_EQ(qltest::CurrentDirectory(), target);
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          [&](HWND, const SeenDialog&) { return IDCANCEL; });
    EXPECT_FALSE(ConfirmTargetDialog(nullptr, "C:\\TARGET", &target));
  }
  EXPECT_TRUE(g_cancelled);
}

TEST_F(DialogsTest, NewArchiveNamedReportBecomesReportZipInANewDirectory) {
  std::string newDir = dir / "made here";
  NewArchiveChoice c;
  c.directory = dir.path();
  const std::vector<std::string> history = {"C:\\OLD", "C:\\OLDER"};
  c.history = history;
  std::atomic<bool> zipChecked{false};
  std::vector<std::string> offered;  // read on the watcher's thread, looked at after it ended
  std::vector<SeenDialog> seen;
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      if (s.title == "Create A New Archive") {
        Shoot(d, s.title);
        zipChecked = IsChecked(d, IDC_NEW_ZIP);
        offered = ComboEntries(d, IDC_NEW_DIRECTORY);
        SetDlgItemTextA(d, IDC_NEW_FILE_NAME, "REPORT");
        SetDlgItemTextA(d, IDC_NEW_DIRECTORY, (newDir + "\\").c_str());
        return IDOK;
      }
      return IDYES;  // create the directory
    });
    ASSERT_TRUE(NewArchiveDialog(nullptr, &c));
    seen = watcher.Seen();
  }
  EXPECT_EQ(history, offered) << "the history fills the directory box, newest first";
  EXPECT_TRUE(zipChecked);
  ASSERT_EQ(2u, seen.size());
  EXPECT_NE(std::string::npos, seen[1].text.find("Does not exist."));
  EXPECT_NE(std::string::npos, seen[1].text.find(newDir));
  EXPECT_TRUE(qltest::FileExists(newDir));
  EXPECT_EQ(newDir + "\\REPORT.Zip", c.path);
  EXPECT_EQ(ArchiveKind::Zip, c.kind);
  EXPECT_FALSE(c.openExisting);
  EXPECT_EQ(newDir, c.directory) << "the chosen directory, without its trailing backslash, for the caller to keep";
  EXPECT_EQ(history, c.history) << "the dialog only reads the history";
  EXPECT_FALSE(qltest::FileExists(c.path)) << "the first add creates it";
}

TEST_F(DialogsTest, NewArchiveInADriveRootKeepsTheRootWithItsBackslash) {
  std::string name = "QLROOT" + std::to_string(GetCurrentProcessId());
  NewArchiveChoice c;
  c.directory = dir.path();
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      if (s.title != "Create A New Archive") return IDNO;  // no question is expected
      SetDlgItemTextA(d, IDC_NEW_FILE_NAME, name.c_str());
      SetDlgItemTextA(d, IDC_NEW_DIRECTORY, "C:\\");
      Click(d, IDC_NEW_ARJ);
      return IDOK;
    });
    ASSERT_TRUE(NewArchiveDialog(nullptr, &c));
    EXPECT_EQ(1u, watcher.Seen().size());
  }
  EXPECT_EQ("C:\\", c.directory);
  EXPECT_EQ("C:\\" + name + ".Arj", c.path);
  EXPECT_EQ(ArchiveKind::Arj, c.kind);
  EXPECT_FALSE(c.openExisting);
}

TEST_F(DialogsTest, NewArchiveRefusesAnEmptyNameAndAnEmptyDirectory) {
  NewArchiveChoice c;
  std::vector<SeenDialog> seen;
  {
    // OK with nothing typed, then OK with a name and no directory, then Cancel; each OK only
    // after the message of the one before was answered.
    std::atomic<int> boxes{0}, posted{0};
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
      if (s.title != "Create A New Archive") {
        ++boxes;
        return IDOK;
      }
      if (posted > boxes) return 0;
      if (boxes == 0) {
        SetDlgItemTextA(d, IDC_NEW_DIRECTORY, "");
      } else if (boxes == 1) {
        SetDlgItemTextA(d, IDC_NEW_FILE_NAME, "REPORT");
      } else {
        return IDCANCEL;
      }
      ++posted;
      PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return 0;
    });
    EXPECT_FALSE(NewArchiveDialog(nullptr, &c));
    seen = watcher.Seen();
  }
  ASSERT_EQ(3u, seen.size());
  EXPECT_EQ("Please enter a filename.", seen[0].text);
  EXPECT_EQ("You must enter a directory name!", seen[1].text);
  EXPECT_TRUE(g_cancelled);
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(DialogsTest, ADialogThatCannotBeMadeIsReportedAndCountsAsCancel) {
  g_cancelled = false;
  std::vector<SeenDialog> seen;
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          [&](HWND, const SeenDialog&) { return IDOK; });
    EXPECT_EQ(IDCANCEL, RunDialog(nullptr, "NO_SUCH_DIALOG", NoDialogProc, 0));
    seen = watcher.Seen();
  }
  EXPECT_TRUE(g_cancelled);
  ASSERT_EQ(1u, seen.size());
  EXPECT_NE(std::string::npos, seen[0].text.find("Cannot create dialog box NO_SUCH_DIALOG")) << seen[0].text;
}

TEST_F(DialogsTest, NewArchiveBrowseChoosesWithTheHostsChooser) {
  NewArchiveChoice c;
  c.directory = "C:\\START";
  std::string withChooser, withoutChooser;  // written on the watcher's thread, read after it ended
  for (bool chooser : {true, false}) {
    g_dialogHost.chooseDirectory = nullptr;
    if (chooser)
      g_dialogHost.chooseDirectory = [](HWND, std::string* dir) {
        *dir = "C:\\CHOSEN";
        return true;
      };
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog&) {
      Click(d, IDC_NEW_BROWSE);
      char text[MAX_PATH] = "";
      GetDlgItemTextA(d, IDC_NEW_DIRECTORY, text, sizeof text);
      (chooser ? withChooser : withoutChooser) = text;
      return IDCANCEL;
    });
    EXPECT_FALSE(NewArchiveDialog(nullptr, &c));
  }
  g_dialogHost.chooseDirectory = nullptr;
  EXPECT_EQ("C:\\CHOSEN", withChooser);
  EXPECT_EQ("C:\\START", withoutChooser) << "without a chooser Browse does nothing";
}

}  // namespace
}  // namespace ql
