#include "common/help_contexts.h"

#include <cstdlib>

namespace ql::help {

// Families are the overview topics of the menus and modes: "overview", "how-to-use-help",
// "file-menu", "edit-menu", "view-menu", "options-menu", "window-menu", "express-mode" and
// "outside-programs".
const ContextEntry kContextTable[] = {
    {kFileMenu, "File menu: Exit, Setup Printer", "file-menu"},
    {kSearch, "Search For Help On", "how-to-use-help"},
    {kAssociate, "Associate", "file-menu"},
    {kConfirmations, "Confirmations", "options-menu"},
    {kDefaults, "Quillon Defaults, File Manager extension", "options-menu"},
    {kSwitches, "Switches, path storage, default ZIP program", "options-menu"},
    {kApplications, "Applications", "options-menu"},
    {kMacros, "Macros", "options-menu"},
    {kNewArchive, "New Archive", "edit-menu"},
    {kAdd, "Add", "edit-menu"},
    {kExtract, "Extract, target directory", "edit-menu"},
    {kDeleteMembers, "Delete from an archive", "edit-menu"},
    {kMoveMembers, "Move into an archive", "edit-menu"},
    {kFreshen, "Freshen", "edit-menu"},
    {kUpdate, "Update", "edit-menu"},
    {kTest, "Test", "edit-menu"},
    {kSelectAll, "Select All", "edit-menu"},
    {kCommentTitle, "Archive comment", "edit-menu"},
    {kCommentFiles, "File comments", "edit-menu"},
    {kConvert, "Convert", "edit-menu"},
    {kSelfExtracting, "Make Self-Extracting", "edit-menu"},
    {kRepair, "Repair", "edit-menu"},
    {kScanDrive, "Scan a drive for viruses", "outside-programs"},
    {kArchiveProgress, "Archive Progress", "view-menu"},
    {kPrintListing, "Print Archive Listing", "file-menu"},
    {kFileStatisticsMenu, "File Statistics (menu)", "view-menu"},
    {kChangeDirectory, "Change Directory", "file-menu"},
    {kOpenArchive, "Open, New window", "file-menu"},
    {kExpressNew, "Express New", "express-mode"},
    {kExpressAdd, "Express Add", "express-mode"},
    {kExpressExtract, "Express Extract", "express-mode"},
    {kExpressMove, "Express Move", "express-mode"},
    {kExpressDelete, "Express Delete", "express-mode"},
    {kExpressFreshen, "Express Freshen", "express-mode"},
    {kExpressUpdate, "Express Update", "express-mode"},
    {kExpressTest, "Express Test", "express-mode"},
    {kExpressSelfExtracting, "Express Make Self-Extracting", "express-mode"},
    {kExpressRepair, "Express Repair", "express-mode"},
    {kExpressPrint, "Express Print Archive Listing", "express-mode"},
    {kFonts, "Fonts", "options-menu"},
    {kBars, "Tool bar and drive bar", "view-menu"},
    {kNewGroup, "New Group", "outside-programs"},
    {kNewItem, "New Item", "outside-programs"},
    {kCopyFiles, "Copy, overwrite and mouse-action confirmations", "file-menu"},
    {kMakeDirectory, "Make Directory", "file-menu"},
    {kDeleteFiles, "Delete files and directories", "file-menu"},
    {kMoveFiles, "Move files", "file-menu"},
    {kDisplayMask, "Select Files To Display", "view-menu"},
    {kRenameFile, "Rename", "file-menu"},
    {kSelectByType, "Select Files By Type", "file-menu"},
    {kScanFiles, "Scan a directory or an archive for viruses", "outside-programs"},
    {kProperties, "Properties", "file-menu"},
    {kFileStatistics, "File Statistics", "view-menu"},
    {kHowToUseHelp, "How To Use Help, About", "how-to-use-help"},
    {kContents, "Contents", "overview"},
    {kManagerMode, "Manager mode", "overview"},
    {kExpressMode, "Express mode", "express-mode"},
    {kBrowserWindow, "Browser windows, Window menu", "window-menu"},
    {kRun, "Run", "file-menu"},
    {kJoinArj, "Join Arj Files", "edit-menu"},
    {kRenameInArj, "Rename files in an ARJ", "edit-menu"},
    {kPassword, "Password", "edit-menu"},
    {kZipOptions, "DOS PKZIP options", "options-menu"},
    {kChooseTarget, "Select A Target Directory", "file-menu"},
};
const size_t kContextCount = sizeof kContextTable / sizeof kContextTable[0];

const ContextEntry* NearestContext(unsigned context) {
  const ContextEntry* best = nullptr;
  unsigned long bestDistance = 0;
  for (size_t i = 0; i < kContextCount; ++i) {
    const ContextEntry& e = kContextTable[i];
    unsigned long d = e.context > context ? e.context - context : context - e.context;
    if (!best || d < bestDistance || (d == bestDistance && e.context < best->context)) {
      best = &e;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace ql::help
