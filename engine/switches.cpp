#include "engine/switches.h"
#include "common/text_and_paths.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace ql {

const SwitchRecord kSwitchTable[kSwitchCount] = {
    {Sw::Password, "password", false, Radio::None, false, 937, 937},
    {Sw::MaximumCompression, "maximum_compression", false, Radio::Compression, false, 938, 938},
    {Sw::FasterCompression, "faster_compression", false, Radio::Compression, false, 939, 939},
    {Sw::FastestCompression, "fastest_compression", false, Radio::Compression, false, 940, 940},
    {Sw::NoCompression, "no_compression", false, Radio::Compression, false, 941, 941},
    {Sw::RecurseSubdirs, "recurse_subdirs", false, Radio::None, false, 942, 942},
    {Sw::PathsFull, "store_pathnames", false, Radio::PathStorage, false, kPathFull, kPathFull},
    {Sw::PathsRelative, "store_pathnames", false, Radio::PathStorage, false, kPathRelative,
     kPathRelative},
    {Sw::KeepOrigArcDate, "keep_orig_arc_date", false, Radio::None, false, 944, 944},
    {Sw::KeepBackup, "keep_backup", false, Radio::None, false, 0, 0},
    {Sw::MultiVolume, "multi_volume_support", false, Radio::None, false, 946, 946},
    {Sw::OverwriteExisting, "overwrite_existing_files", true, Radio::Overwrite, false, 947, 947},
    {Sw::RestoreSubdirs, "restore_subdirs", false, Radio::None, false, 950, 950},
    {Sw::IncAnyFileAttrib, "inc_any_file_attrib", false, Radio::None, false, 0, 0},
    {Sw::ZipCompatibilityMode, "zip_compatibility_mode", false, Radio::None, false, 1037, 0},
    {Sw::ZipDpmi, "zip_DPMI", false, Radio::None, true, 1038, 0},
    {Sw::ExtractByName, "extract_by_name", false, Radio::ExtractOrder, false, 1040, 0},
    {Sw::ExtractByExtender, "extract_by_extender", false, Radio::ExtractOrder, false, 1041, 0},
    {Sw::ExtractBySize, "extract_by_size", false, Radio::ExtractOrder, false, 1042, 0},
    {Sw::ExtractByDate, "extract_by_date", false, Radio::ExtractOrder, false, 1043, 0},
    {Sw::ExtractInReverseOrder, "extract_in_reverse_order", false, Radio::ExtractOrder, false, 1044,
     0},
    {Sw::StoreVolumeLabel, "store_volume_label", false, Radio::None, false, 1036, 1036},
    {Sw::ExtractOnlyNewer, "extract_only_newer_files", false, Radio::Overwrite, false, 948, 948},
    {Sw::ExtractWithPassword, "extract_with_password", false, Radio::None, false, 1039, 1039},
    {Sw::ExtractVolumeLabel, "extract_volume_label", false, Radio::None, false, 0, 1045},
    {Sw::SetToNewestDate, "set_to_newest_date", false, Radio::None, false, 1035, 1035},
    {Sw::NetDetect, "net_detect", false, Radio::None, true, 1046, 0},
    {Sw::Use32BitIns, "use_32bit_ins", false, Radio::None, true, 1047, 0},
    {Sw::EmsUsage, "EMSUsage", false, Radio::None, true, 1048, 0},
    {Sw::XmsUsage, "XMSUsage", false, Radio::None, true, 1049, 0},
    {Sw::SlowMemCopy, "slow_mem_copy", false, Radio::None, false, 1050, 0},
    {Sw::UsePkzip, "use_pkzip", false, Radio::None, false, 423, 0},
};
static_assert(sizeof kSwitchTable / sizeof kSwitchTable[0] == kSwitchCount,
              "one record per bit of the switch word");

const char* const kQuietFragment = "| -q";

const SwitchRecord& SwitchInfo(Sw id) { return kSwitchTable[static_cast<int>(id)]; }

bool Bit(const SwitchSet& s, Sw id) { return (s.bits >> static_cast<int>(id)) & 1u; }

void SetBit(SwitchSet& s, Sw id, bool on) {
  uint32_t mask = 1u << static_cast<int>(id);
  s.bits = on ? (s.bits | mask) : (s.bits & ~mask);
}

bool On(const SwitchSet& s, Sw id) { return Bit(s, id) != SwitchInfo(id).inverted; }

void SetOn(SwitchSet& s, Sw id, bool on) { SetBit(s, id, on != SwitchInfo(id).inverted); }

void SetRadio(SwitchSet& s, Sw id) {
  Radio group = SwitchInfo(id).radio;
  for (const SwitchRecord& r : kSwitchTable)
    if (group != Radio::None && r.radio == group) SetBit(s, r.id, false);
  SetBit(s, id, true);
}

PathStorage PathMode(const SwitchSet& s) {
  if (Bit(s, Sw::PathsFull)) return PathStorage::Full;
  if (Bit(s, Sw::PathsRelative)) return PathStorage::Relative;
  return PathStorage::None;
}

int PathChoice(const SwitchSet& s) {
  if (s.pathStorageChoice) return s.pathStorageChoice;
  switch (PathMode(s)) {
    case PathStorage::Full: return kPathFull;
    case PathStorage::Relative: return kPathRelative;
    default: return kPathNone;
  }
}

namespace {

// A value read as the start-up read does: into a 5-character buffer, on when it equals "ON".
bool ReadOn(const ReadSwitchKey& read, const char* key, bool def) {
  std::string v = read(key, def ? "On" : "Off");
  if (v.size() > 4) v.resize(4);
  return EqualNoCase(v, "ON");
}

}  // namespace

void LoadSwitchSet(SwitchSet& s, const ReadSwitchKey& read) {
  // The compression keys form a radio group: a later one counts only when no earlier one was on.
  // Every other key sets its own bit; the extraction-order radio rule belongs to the dialog.
  bool compressionTaken = false;
  for (const SwitchRecord& r : kSwitchTable) {
    if (r.radio == Radio::PathStorage) continue;
    bool on = ReadOn(read, r.key, r.defaultOn);
    if (r.radio == Radio::Compression) {
      if (compressionTaken) on = false;
      compressionTaken |= on;
    }
    SetOn(s, r.id, on);
  }
  // Overwrite All and Only If Newer are never both set; Overwrite All (the default) wins.
  if (Bit(s, Sw::OverwriteExisting)) SetBit(s, Sw::ExtractOnlyNewer, false);
  s.viewArchiveProgress = ReadOn(read, "ViewArchiveProgress", false);

  std::string paths = read("store_pathnames", "Relative");
  if (EqualNoCase(paths, "Full")) {
    SetBit(s, Sw::PathsFull, true);
    SetBit(s, Sw::PathsRelative, false);
    s.pathStorageChoice = kPathFull;
  } else if (EqualNoCase(paths, "None")) {
    SetBit(s, Sw::PathsFull, false);
    SetBit(s, Sw::PathsRelative, false);
    s.pathStorageChoice = kPathNone;
  } else {
    SetBit(s, Sw::PathsFull, false);
    SetBit(s, Sw::PathsRelative, true);
    s.pathStorageChoice = kPathRelative;
  }
}

bool ProbeOldPkzip(const std::string& pkzipPath, bool previous) {
  FILE* f = fopen(pkzipPath.c_str(), "rb");
  if (!f) return previous;
  char buf[9];
  bool old = fseek(f, 29348, SEEK_SET) == 0 && fread(buf, 1, sizeof buf, f) == sizeof buf &&
             memcmp(buf, "1989-1990", sizeof buf) == 0;
  fclose(f);
  return old;
}

void ConfirmSwitchesDialog(SwitchSet& s, bool zipDialog, const WriteSwitchKey& write) {
  auto put = [&](Sw id) { write(SwitchInfo(id).key, Bit(s, id) ? "On" : "Off"); };
  for (Sw id : {Sw::Password, Sw::MaximumCompression, Sw::FasterCompression,
                Sw::FastestCompression, Sw::NoCompression, Sw::RecurseSubdirs})
    put(id);
  int choice = PathChoice(s);
  SetBit(s, Sw::PathsFull, choice == kPathFull);
  SetBit(s, Sw::PathsRelative, choice == kPathRelative);
  write("store_pathnames",
        choice == kPathFull ? "Full" : choice == kPathRelative ? "Relative" : "None");
  put(Sw::KeepOrigArcDate);
  SetBit(s, Sw::KeepBackup, false);
  put(Sw::KeepBackup);
  put(Sw::MultiVolume);
  if (Bit(s, Sw::OverwriteExisting)) {
    SetBit(s, Sw::ExtractOnlyNewer, false);
    put(Sw::OverwriteExisting);
    put(Sw::ExtractOnlyNewer);
  } else if (Bit(s, Sw::ExtractOnlyNewer)) {
    put(Sw::ExtractOnlyNewer);
    put(Sw::OverwriteExisting);
  } else {
    put(Sw::OverwriteExisting);
    put(Sw::ExtractOnlyNewer);
  }
  put(Sw::RestoreSubdirs);
  SetBit(s, Sw::IncAnyFileAttrib, false);
  put(Sw::IncAnyFileAttrib);
  put(Sw::SetToNewestDate);
  if (zipDialog)
    for (Sw id : {Sw::ExtractByName, Sw::ExtractByExtender, Sw::ExtractBySize, Sw::ExtractByDate,
                  Sw::ExtractInReverseOrder})
      put(id);
  put(Sw::StoreVolumeLabel);
  put(Sw::ExtractOnlyNewer);
  put(Sw::ExtractWithPassword);
  if (!zipDialog) put(Sw::ExtractVolumeLabel);
  put(Sw::SetToNewestDate);
}

bool UseEngine(const SwitchSet& s) { return !On(s, Sw::UsePkzip) && !On(s, Sw::MultiVolume); }

void SetArchivePassword(SwitchSet& s, const std::string& text) {
  s.archivePassword = text.substr(0, 39);
}

const Sw kZipOptionSwitches[7] = {Sw::ZipCompatibilityMode, Sw::ZipDpmi, Sw::NetDetect,
                                  Sw::Use32BitIns,          Sw::EmsUsage, Sw::XmsUsage,
                                  Sw::SlowMemCopy};

bool ZipOptionsBoxChecked(Sw id, const std::string& value) {
  if (id == Sw::SlowMemCopy) return value != "Off";
  return value == "On";
}

void ConfirmZipOptions(SwitchSet& s, const bool checked[7], const WriteSwitchKey& write) {
  for (int i = 0; i < 7; ++i) {
    SetOn(s, kZipOptionSwitches[i], checked[i]);
    write(SwitchInfo(kZipOptionSwitches[i]).key, checked[i] ? "On" : "Off");
  }
}

void ConfirmDefaultZip(SwitchSet& s, bool dosPkzip, const WriteSwitchKey& write) {
  SetOn(s, Sw::UsePkzip, dosPkzip);
  write("use_pkzip", dosPkzip ? "On" : "Off");
}

}  // namespace ql
