#include "app/menu_help.h"

#include "common/help_contexts.h"

namespace ql {

namespace {

// Command, hint string, help context.
const MenuHelp kMenuHelp[] = {
    {900, 2001, help::kNewArchive}, {901, 2006, help::kCopyFiles}, {903, 2018, help::kSelectAll},
    {905, 2010, help::kRun}, {906, 2019, help::kFileMenu}, {907, 2020, help::kExtract},
    {908, 2021, help::kAdd}, {909, 2022, help::kMoveMembers}, {910, 2023, help::kDeleteMembers},
    {911, 2024, help::kFreshen}, {912, 2025, help::kUpdate}, {913, 2026, help::kSelectAll},
    {914, 2029, help::kRenameInArj}, {915, 2033, help::kCommentTitle}, {918, 2034, help::kCommentFiles},
    {919, 2027, help::kTest}, {920, 2028, help::kJoinArj}, {951, 2059, help::kDefaults},
    {952, 2012, help::kFileMenu}, {953, 2061, help::kApplications}, {954, 2068, help::kBrowserWindow},
    {956, 2071, help::kBrowserWindow}, {960, 2079, help::kHowToUseHelp}, {963, 2008, help::kRenameFile},
    {964, 2014, help::kMakeDirectory}, {965, 2016, help::kDeleteFiles}, {967, 2015, help::kChangeDirectory},
    {968, 2005, help::kMoveFiles}, {969, 2060, help::kFonts}, {970, 2065, help::kBars},
    {972, 2004, help::kOpenArchive}, {973, 2023, help::kDeleteFiles}, {974, 2011, help::kPrintListing},
    {975, 2013, help::kAssociate}, {977, 2030, help::kSwitches}, {978, 2031, help::kSwitches},
    {979, 2044, help::kRepair}, {980, 2045, help::kRepair}, {981, 2046, help::kScanDrive},
    {982, 2047, help::kScanFiles}, {983, 2036, help::kConvert}, {984, 2037, help::kConvert},
    {985, 2039, help::kConvert}, {986, 2038, help::kConvert}, {987, 2040, help::kConvert}, {988, 2041, help::kConvert},
    {989, 2042, help::kSelfExtracting}, {990, 2043, help::kSelfExtracting}, {998, 2055, help::kDisplayMask},
    {1000, 2056, help::kExpressMode}, {1001, 2057, help::kManagerMode}, {1002, 2058, help::kConfirmations},
    {1003, 2062, help::kMacros}, {1005, 2066, help::kBars}, {1008, 2067, help::kOpenArchive},
    {1009, 2069, help::kBrowserWindow}, {1010, 2070, help::kBrowserWindow}, {1011, 2072, help::kBrowserWindow},
    {1012, 2074, help::kContents}, {1013, 2075, help::kSearch}, {1014, 2076, help::kHowToUseHelp},
    {1016, 2035, help::kConvert}, {1017, 2017, help::kSelectByType}, {1019, 2049, help::kArchiveProgress},
    {1022, 2009, help::kProperties}, {1023, 2032, help::kZipOptions}, {1026, 2002, help::kNewItem},
    {1027, 2003, help::kNewGroup}, {1028, 2073, help::kBrowserWindow}, {1030, 2048, help::kScanFiles},
    {1031, 2050, help::kFileStatisticsMenu}, {1032, 2063, help::kDefaults}, {1033, 2064, help::kDefaults},
    {1052, 2080, help::kBrowserWindow}, {4000, 2001, help::kExpressNew}, {4003, 2011, help::kExpressPrint},
    {4004, 2019, help::kFileMenu}, {4005, 2021, help::kExpressAdd}, {4006, 2022, help::kExpressMove},
    {4007, 2023, help::kExpressDelete}, {4008, 2024, help::kExpressFreshen}, {4009, 2025, help::kExpressUpdate},
    {4010, 2027, help::kExpressTest}, {4024, 2042, help::kExpressSelfExtracting}, {4025, 2043, help::kExpressSelfExtracting},
    {4026, 2044, help::kExpressRepair}, {4027, 2045, help::kExpressRepair}, {4031, 2056, help::kExpressMode},
    {4032, 2057, help::kManagerMode}, {4040, 2049, help::kArchiveProgress}, {4041, 2012, help::kFileMenu},
    {4042, 2020, help::kExpressExtract},
};

struct Tip {
  unsigned command;
  unsigned string;
};
const Tip kTips[] = {
    {900, 2001}, {972, 2004}, {907, 2020}, {908, 2021},
    {961, 2023}, {166, 2026}, {974, 2011}, {1030, 2048},
    {998, 2055}, {1031, 2050}, {169, 2081}, {1052, 2080},
    {1012, 2074}, {1054, 2085}, {1055, 2083}, {1056, 2084},
};

}  // namespace

bool MenuHelpFor(unsigned command, MenuHelp* out) {
  for (const auto& h : kMenuHelp)
    if (h.command == command) {
      if (out) *out = h;
      return true;
    }
  return false;
}

unsigned ToolTipStringFor(unsigned command) {
  for (const auto& t : kTips)
    if (t.command == command) return t.string;
  return 0;
}

}  // namespace ql
