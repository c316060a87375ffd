#include "classesmemo.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "assoctext.h"
#include "extensionrule.h"
#include "inifile.h"
#include "text.h"
#include "usersid.h"

namespace {

const char kSection[] = "classes";
const char kMachineKey[] = "machine";
const char kUserKeyPrefix[] = "user.";
// A key name never holds a backslash: it parts the names in the stored text.
const char kSeparator = '\\';
// Far beyond any real count; a longer memo is not kept, and its hive is walked at every start.
const size_t kMaxMemoBytes = 32768;
// A last-write time this recent may be shared by a change still under way, which the walk may not
// have seen (Windows keeps the time to its clock tick only).
const ULONGLONG kSettledTicks = 10000000ULL;  // 1 s in 100 ns

ULONGLONG Ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// hive's classes key's last-write time in the 64-bit view, the view ClassesKeyNames lists.
bool LastWritten(VtScope hive, ULONGLONG* written) {
  VtRegistry classes(KEY_WOW64_64KEY);
  FILETIME time;
  if (!classes.Open(ScopeHive(hive), kClassesKey, KEY_QUERY_VALUE) ||
      RegQueryInfoKeyA(classes.key(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, &time) != ERROR_SUCCESS)
    return false;
  *written = Ticks(time);
  return true;
}

ULONGLONG Now() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return Ticks(now);
}

// A name the options file can carry on one line and read back unchanged.
bool Storable(const std::string& ext) {
  for (unsigned char c : ext)
    if (c < 0x20 || c == 0x7F) return false;
  return ext.back() != ' ';
}

std::string KeyOf(VtScope hive) {
  if (hive == VtScope::kMachine) return kMachineKey;
  const std::string sid = UserSidText();
  return sid.empty() ? std::string() : kUserKeyPrefix + sid;
}

}  // namespace

std::vector<std::string> VtClassesMemo::ToolProgIdExtensions(VtScope hive) {
  Seen& seen = seen_[HiveIndex(hive)];
  ULONGLONG written = 0;
  const bool timed = LastWritten(hive, &written);
  if (timed && seen.known && seen.written == written) return seen.exts;
  seen = Seen();
  for (const std::string& name : ClassesKeyNames(hive)) {
    const char* ext = ToolProgIdExtension(name.c_str());
    if (ext != nullptr && IsExtension(ext)) seen.exts.push_back(ext);
  }
  seen.known = timed && Now() >= written + kSettledTicks;
  seen.walked = true;
  seen.written = written;
  return seen.exts;
}

void VtClassesMemo::Forget() {
  for (Seen& seen : seen_) seen.known = false;
}

void VtClassesMemo::Read(VtIniFile& ini) {
  for (VtScope hive : kBothHives) {
    Seen& seen = seen_[HiveIndex(hive)];
    seen = Seen();
    const std::string key = KeyOf(hive);
    const VtIniSection* section = ini.FindSection(kSection, false);
    const VtIniKeyValue* entry = section != nullptr && !key.empty()
                                     ? section->FindEntry(key.c_str()) : nullptr;
    if (entry == nullptr) continue;
    std::string text = entry->value();
    char* rest = nullptr;
    const char* time = NextToken(&text[0], "\\", &rest);
    // Sixteen hex digits and nothing else: strtoull alone would take signs, blanks and "0x".
    if (time == nullptr || std::strlen(time) != 16 ||
        std::strspn(time, "0123456789ABCDEFabcdef") != 16)
      continue;
    std::vector<std::string> exts;
    char* ext = NextToken(rest, "\\", &rest);
    for (; ext != nullptr && IsExtension(ext); ext = NextToken(rest, "\\", &rest))
      exts.push_back(ext);
    // One name that is none leaves the whole memo untrusted.
    if (ext != nullptr) continue;
    seen.known = true;
    seen.written = std::strtoull(time, nullptr, 16);
    seen.exts = std::move(exts);
  }
}

void VtClassesMemo::Write(VtIniFile& ini) const {
  for (VtScope hive : kBothHives) {
    const Seen& seen = seen_[HiveIndex(hive)];
    const std::string key = KeyOf(hive);
    // What this object did not walk, the file already says.
    if (!seen.walked || key.empty()) continue;
    char time[17];
    wsprintfA(time, "%08lX%08lX", static_cast<unsigned long>(seen.written >> 32),
              static_cast<unsigned long>(seen.written & 0xFFFFFFFFu));
    std::string text = time;
    bool storable = seen.known;
    for (const std::string& ext : seen.exts) {
      storable = storable && Storable(ext);
      text += kSeparator;
      text += ext;
    }
    // A memo that cannot be kept leaves none: an old one would not match anyway, but says less.
    if (!storable || text.size() > kMaxMemoBytes) text.clear();
    ini.FindSection(kSection, true)->Set(key.c_str(), text.c_str());
  }
}
