#include "extensionrule.h"

#include <cstring>

#include "assoctext.h"
#include "text.h"

namespace {

// Types that run something when opened: taking them over would hand every program, script,
// installer and shortcut of the machine to the player.
const char* const kProgramTypes[] = {
    ".exe", ".com", ".bat", ".cmd", ".pif", ".scr", ".lnk", ".url", ".msi", ".msp", ".msc", ".cpl",
    ".vbs", ".vbe", ".js",  ".jse", ".wsf", ".wsh", ".ps1", ".hta", ".reg", ".inf", ".scf",
    ".appref-ms"};

// Windows takes the text after a file name's last "." as its extension, and only up to a blank;
// the rest cannot stand in a file name at all.
bool IsExtensionCharacter(const char* c, int size) {
  if (size == 2) return !(c[0] == '\x81' && c[1] == '\x40');  // the full-width blank
  const unsigned char b = static_cast<unsigned char>(*c);
  return b >= 0x20 && b != 0x7F && std::strchr(". \\/:*?\"<>|", b) == nullptr;
}

}  // namespace

bool IsExtension(const char* ext) {
  // A backslash (a whole character: in 表 the byte 0x5C is a second byte) would make the name a
  // path of keys. ".mp3\" opens the key of .mp3 itself, and its ProgID "vantrel.MP3\" is the key
  // of .mp3's, so registering both would overwrite the "backup" that holds .mp3's old ProgID.
  return ext && ext[0] == '.' && ext[1] != 0 && FindLastChar(ext, '\\') == nullptr;
}

DWORD ExtensionProblem(const char* ext) {
  if (!IsExtension(ext)) return kErrorNotAnExtension;
  for (const char* c = ext + 1; *c != 0;) {
    const int size = CharSize(c);
    if (size == 0 || !IsExtensionCharacter(c, size)) return kErrorNotAnExtension;
    c += size;
  }
  if (std::strlen(ext) > kMaxExtensionBytes) return kErrorExtensionTooLong;
  for (const char* type : kProgramTypes)
    if (SameKeyName(ext, type)) return kErrorProgramType;
  return ERROR_SUCCESS;
}
