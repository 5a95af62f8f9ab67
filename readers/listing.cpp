#include "readers/listing.h"

#include <cstring>

namespace ql {

const char* ReaderMessageText(unsigned id) {
  switch (id) {
    case kMsgCannotOpenArchive: return "Quillon didn't create the requested archive:\n %s";
    case kMsgBadArj: return "This file appears to be a damaged or invalid ARJ file.";
    case kMsgZipDamaged:
      return "Caution! %s may be damaged,or a multiple volume.\nYou may need to repair it.";
    case kMsgZipInvalid: return "This Zip file may be invalid,damaged, or a multiple volume Zip.";
    case kMsgZipMultiVolume:
      return "Can't read multiple volume ZIP files!\nA macro would have to be made to extract it.";
  }
  return "";
}

std::string FormatReaderMessage(unsigned id, std::string_view arg) {
  std::string text = ReaderMessageText(id);
  size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, arg.data(), arg.size());
  return text;
}

}  // namespace ql
