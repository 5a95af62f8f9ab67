// The fragment table: for each option fragment of the ZIP, PKUNZIP and ARJ commands, the switch
// it follows and its text; and the password rule that decides whether an operation carries one.
#include "engine/command_parts.h"

namespace ql {
namespace command_parts {

namespace {

enum class When { On, Off, Always, Special };

struct FragmentRecord {
  F id;
  Sw sw;
  When when;
  const char* text;  // begins with a blank; for Special rows only a note of the form
};

const FragmentRecord kFragments[] = {
    {F::ZCompression, Sw::MaximumCompression, When::Special, " -ex / -en / -es"},
    {F::ZStore, Sw::NoCompression, When::On, " -e0"},
    {F::ZMultiVolume, Sw::MultiVolume, When::On, " -&"},
    {F::ZVolumeLabel, Sw::StoreVolumeLabel, When::On, " -$"},
    {F::ZDpmi, Sw::ZipDpmi, When::On, " -)"},
    {F::ZCompat, Sw::ZipCompatibilityMode, When::Off, " -="},
    {F::ZNetDetect, Sw::NetDetect, When::On, " -~"},
    {F::Z32Bit, Sw::Use32BitIns, When::On, " -3"},
    {F::ZEms, Sw::EmsUsage, When::Always, " -+"},
    {F::ZXms, Sw::XmsUsage, When::Always, " --"},
    {F::ZEmsIfOn, Sw::EmsUsage, When::On, " -+"},
    {F::ZXmsIfOn, Sw::XmsUsage, When::On, " --"},
    {F::ZSlowMem, Sw::SlowMemCopy, When::On, " -("},
    {F::ZAttrib, Sw::IncAnyFileAttrib, When::On, " -w"},
    {F::ZRecurse, Sw::RecurseSubdirs, When::On, " -rp"},
    {F::ZPaths, Sw::PathsFull, When::Special, " -P"},
    {F::ZPathsFullOnly, Sw::PathsFull, When::Special, " -P"},
    {F::ZDates, Sw::KeepOrigArcDate, When::Special, " -k / -o"},
    {F::ZKeepDate, Sw::KeepOrigArcDate, When::On, " -k"},
    {F::ZWorkDir, Sw::MultiVolume, When::Special, " -b"},
    {F::ZPassword, Sw::Password, When::Special, " -s"},
    {F::URestore, Sw::RestoreSubdirs, When::On, " -d"},
    {F::URestoreDrop, Sw::RestoreSubdirs, When::Special, " -d"},
    {F::UOverwrite, Sw::OverwriteExisting, When::On, " -o"},
    {F::UOverwriteDrop, Sw::OverwriteExisting, When::Special, " -o"},
    {F::UNewer, Sw::ExtractOnlyNewer, When::On, " -n"},
    {F::UOrder, Sw::ExtractByName, When::Special, " -en / -ee / -es / -ed"},
    {F::UOrderAlways, Sw::ExtractByName, When::Special, " -en / -ee / -es / -ed"},
    {F::UReverse, Sw::ExtractInReverseOrder, When::On, " -er"},
    {F::UReverseSingleVolume, Sw::ExtractInReverseOrder, When::Special, " -er"},
    {F::UDpmi, Sw::ZipDpmi, When::On, " -)"},
    {F::U32Bit, Sw::Use32BitIns, When::On, " -3"},
    {F::UEms, Sw::EmsUsage, When::Always, " -+"},
    {F::UXms, Sw::XmsUsage, When::Always, " --"},
    {F::UVolumeLabel, Sw::ExtractVolumeLabel, When::On, " -$"},
    {F::UPassword, Sw::ExtractWithPassword, When::Special, " -s"},
    {F::AAttrib, Sw::IncAnyFileAttrib, When::On, " -a"},
    {F::ARecurse, Sw::RecurseSubdirs, When::On, " -r"},
    {F::APaths, Sw::PathsFull, When::Special, " -e / -e1"},
    {F::APathsNotFull, Sw::PathsFull, When::Special, " -e"},
    {F::ADates, Sw::KeepOrigArcDate, When::Special, " -s1 / -s"},
    {F::AKeepDate, Sw::KeepOrigArcDate, When::On, " -s1"},
    {F::ACompression, Sw::MaximumCompression, When::Special, " -m1 -jm / -m2 / -m3"},
    {F::AStore, Sw::NoCompression, When::On, " -m4"},
    {F::ABackup, Sw::KeepBackup, When::On, " -k"},
    {F::AMultiVolume, Sw::MultiVolume, When::On, " -va"},
    {F::AWorkDir, Sw::MultiVolume, When::Special, " -w"},
    {F::APassword, Sw::Password, When::Special, " -g"},
    {F::AOverwrite, Sw::OverwriteExisting, When::On, " -jyo"},
    {F::AOverwriteDrop, Sw::OverwriteExisting, When::Special, " -jyo"},
    {F::ANewer, Sw::ExtractOnlyNewer, When::On, " -f"},
    {F::AVolumeLabel, Sw::ExtractVolumeLabel, When::On, " -$"},
    {F::ARestorePaths, Sw::RestoreSubdirs, When::On, " -p1"},
};
static_assert(sizeof kFragments / sizeof kFragments[0] == static_cast<size_t>(F::Count),
              "one record per fragment");

// The text of a fragment under the switch set, "" when it does not apply.
std::string FragmentText(F id, const Ctx& c) {
  const FragmentRecord& r = kFragments[static_cast<int>(id)];
  const SwitchSet& s = c.s;
  switch (r.when) {
    case When::On: return On(s, r.sw) ? r.text : "";
    case When::Off: return On(s, r.sw) ? "" : r.text;
    case When::Always: return r.text;
    case When::Special: break;
  }
  bool keep = On(s, Sw::KeepOrigArcDate), newest = On(s, Sw::SetToNewestDate);
  PathStorage paths = PathMode(s);
  switch (id) {
    case F::ZCompression:
      if (On(s, Sw::MaximumCompression)) return " -ex";
      if (On(s, Sw::FasterCompression)) return " -en";
      if (On(s, Sw::FastestCompression)) return " -es";
      return "";
    case F::ZPaths: return paths != PathStorage::None ? " -P" : "";
    case F::ZPathsFullOnly: return paths == PathStorage::Full ? " -P" : "";
    case F::ZDates: return keep && !newest ? " -k" : newest && !keep ? " -o" : "";
    case F::ZWorkDir: return On(s, Sw::MultiVolume) ? "" : " -b" + c.work;
    case F::ZPassword:
    case F::UPassword: return c.password ? " -s" + s.archivePassword : "";
    case F::URestoreDrop: return c.targetWindow && On(s, Sw::RestoreSubdirs) ? " -d" : "";
    case F::UOverwriteDrop:
      return On(s, Sw::OverwriteExisting) || !c.targetWindow ? " -o" : "";
    case F::UOrder:
    case F::UOrderAlways:
      if (id == F::UOrder && On(s, Sw::MultiVolume)) return "";
      if (On(s, Sw::ExtractByName)) return " -en";
      if (On(s, Sw::ExtractByExtender)) return " -ee";
      if (On(s, Sw::ExtractBySize)) return " -es";
      if (On(s, Sw::ExtractByDate)) return " -ed";
      return "";
    case F::UReverseSingleVolume:
      return On(s, Sw::ExtractInReverseOrder) && !On(s, Sw::MultiVolume) ? " -er" : "";
    case F::APaths:
      return paths == PathStorage::None ? " -e" : paths == PathStorage::Relative ? " -e1" : "";
    case F::APathsNotFull: return paths != PathStorage::Full ? " -e" : "";
    case F::ADates: return keep && !newest ? " -s1" : newest && !keep ? " -s" : "";
    case F::ACompression:
      if (On(s, Sw::MaximumCompression)) return " -m1 -jm";
      if (On(s, Sw::FasterCompression)) return " -m2";
      if (On(s, Sw::FastestCompression)) return " -m3";
      return "";
    case F::AWorkDir: return " -w" + c.work;
    case F::APassword: return c.password ? " -g" + s.archivePassword : "";
    case F::AOverwriteDrop:
      return On(s, Sw::OverwriteExisting) || !c.targetWindow ? " -jyo" : "";
    default: return "";
  }
}

// Fragments that carry a path or a password: their one argument may hold blanks.
bool CarriesText(F id) {
  return id == F::ZWorkDir || id == F::ZPassword || id == F::UPassword || id == F::AWorkDir ||
         id == F::APassword;
}

// Appends a fragment to a command: for the engine a "|" goes before it; for a DOS command the
// argument of a path or password fragment is quoted when it needs it.
void Append(std::string& out, F id, const std::string& fragment, bool engine) {
  if (fragment.empty()) return;
  if (engine) out += "|" + fragment;
  else if (CarriesText(id)) out += " " + QuoteArg(fragment.substr(1));
  else out += fragment;
}

}  // namespace

std::string Fragments(const Ctx& c, std::initializer_list<Step> steps) {
  bool with2x = !c.s.oldPkzip || c.engine;
  std::string out;
  for (const Step& st : steps)
    if (!st.group2x || with2x) Append(out, st.id, FragmentText(st.id, c), c.engine);
  return out;
}

std::string Arg(const std::string& a, bool engine) { return engine ? a : QuoteArg(a); }

}  // namespace command_parts

bool NeedsPassword(PasswordRule rule, const SwitchSet& s, bool encrypted) {
  bool pw = On(s, Sw::Password);
  bool xpw = On(s, Sw::ExtractWithPassword);
  switch (rule) {
    case PasswordRule::Add: return pw;
    case PasswordRule::AddToWindow: return pw || encrypted;
    case PasswordRule::FreshenManager: return pw || encrypted;
    case PasswordRule::FreshenExpress: return pw;
    case PasswordRule::ExtractMembersZip: return xpw && encrypted;
    case PasswordRule::ExtractEither: return xpw || encrypted;
    case PasswordRule::ExtractSwitch: return xpw;
    case PasswordRule::TestArchive: return xpw || pw;
  }
  return false;
}

}  // namespace ql
