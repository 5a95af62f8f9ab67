// Every help context the program uses: the numbers that F1, the Help buttons and the menu help
// hand to the help window, by name, and the family each belongs to. A topic names the contexts it
// answers; a context that no topic names opens the topic of its family. Platform-free.
#pragma once
#include <cstddef>

namespace ql::help {

// Help menu and the help window itself.
constexpr unsigned kSearch = 7001;          // Search For Help On...
constexpr unsigned kHowToUseHelp = 7080;    // How To Use Help..., About
constexpr unsigned kContents = 7081;        // Contents...
// File menu and file operations.
constexpr unsigned kFileMenu = 2003;        // Exit, Setup Printer
constexpr unsigned kAssociate = 7007;
constexpr unsigned kOpenArchive = 7041;     // Open..., Window New
constexpr unsigned kChangeDirectory = 7040;
constexpr unsigned kCopyFiles = 7059;       // COPY_FILES, ConfirmOverwrite, ConfirmDrag
constexpr unsigned kMakeDirectory = 7060;
constexpr unsigned kDeleteFiles = 7061;     // File Delete, ConfirmDelete, DeleteDir
constexpr unsigned kMoveFiles = 7062;
constexpr unsigned kRenameFile = 7065;
constexpr unsigned kSelectByType = 7066;
constexpr unsigned kProperties = 7070;
constexpr unsigned kRun = 7088;
constexpr unsigned kChooseTarget = 7093;    // GET_TARGET
constexpr unsigned kPrintListing = 7036;
// Archive commands (Edit menu).
constexpr unsigned kNewArchive = 7016;
constexpr unsigned kAdd = 7017;
constexpr unsigned kExtract = 7018;
constexpr unsigned kTargetDirectory = 7018; // ConfirmTarget: part of extracting
constexpr unsigned kDeleteMembers = 7019;
constexpr unsigned kMoveMembers = 7020;
constexpr unsigned kFreshen = 7021;
constexpr unsigned kUpdate = 7022;
constexpr unsigned kTest = 7023;
constexpr unsigned kSelectAll = 7024;
constexpr unsigned kCommentTitle = 7025;    // also the comment viewer
constexpr unsigned kCommentFiles = 7029;
constexpr unsigned kConvert = 7031;
constexpr unsigned kSelfExtracting = 7032;
constexpr unsigned kRepair = 7033;
constexpr unsigned kJoinArj = 7089;
constexpr unsigned kRenameInArj = 7090;
constexpr unsigned kPassword = 7091;
// Options.
constexpr unsigned kConfirmations = 7009;   // WARNING
constexpr unsigned kDefaults = 7011;        // SETUPQL4, File Manager extension
constexpr unsigned kSwitches = 7012;        // ZipSwitches, ArjSwitches, PathStorage, DefaultZIP
constexpr unsigned kApplications = 7013;
constexpr unsigned kMacros = 7014;
constexpr unsigned kFonts = 7055;
constexpr unsigned kZipOptions = 7092;
// View and Window menus, browser windows.
constexpr unsigned kArchiveProgress = 7035;
constexpr unsigned kFileStatisticsMenu = 7038;
constexpr unsigned kFileStatistics = 7071;
constexpr unsigned kBars = 7056;            // Show Toolbar, Show Drive Bar
constexpr unsigned kDisplayMask = 7063;     // DIR_MASK
constexpr unsigned kBrowserWindow = 7087;   // the window, its lists, Window menu
constexpr unsigned kManagerMode = 7083;
constexpr unsigned kExpressMode = 7084;
// Express mode.
constexpr unsigned kExpressNew = 7043;
constexpr unsigned kExpressAdd = 7044;
constexpr unsigned kExpressExtract = 7045;
constexpr unsigned kExpressMove = 7046;
constexpr unsigned kExpressDelete = 7047;
constexpr unsigned kExpressFreshen = 7048;
constexpr unsigned kExpressUpdate = 7049;
constexpr unsigned kExpressTest = 7050;
constexpr unsigned kExpressSelfExtracting = 7051;
constexpr unsigned kExpressRepair = 7052;
constexpr unsigned kExpressPrint = 7054;
// Outside programs and the desktop.
constexpr unsigned kScanDrive = 7034;
constexpr unsigned kScanFiles = 7068;       // directory and archive scans
constexpr unsigned kNewGroup = 7057;
constexpr unsigned kNewItem = 7058;

// One context of the program and its family: the id of the topic that answers the context when no
// topic names it.
struct ContextEntry {
  unsigned context;
  const char* name;
  const char* family;
};
extern const ContextEntry kContextTable[];
extern const size_t kContextCount;

// The entry of `context`, or the entry nearest to it by number when the program never uses it
// (the lower one on a tie); null only when the table is empty.
const ContextEntry* NearestContext(unsigned context);

}  // namespace ql::help
