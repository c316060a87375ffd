#include "applyoptions.h"

#include "inifile.h"
#include "library.h"
#include "assoctext.h"
#include "text.h"

namespace {

const char kSection[] = "vntassoc";
const char kAddOption[] = "AddOption";
const char kListOption[] = "ListOption";

}  // namespace

const char kPlaylistExtensions[] = ";.vnt;.m3u";

bool IsPlaylist(const char* ext) {
  return SameKeyName(ext, ".vnt") || SameKeyName(ext, ".m3u");
}

const char* PlayerOption(const char* ext, const VtApplyOptions& options) {
  if (IsPlaylist(ext)) return options.list == VtPlaylistOption::kNew ? "/clear" : "";
  if (options.add == VtAddOption::kYes) return "/a";
  return options.add == VtAddOption::kNo ? "/na" : "";
}

std::string OptionsPath(const char* windowExe) {
  char path[kPathSize];
  return ChangeExtension(path, kPathSize, windowExe, ".ini");
}

VtApplyOptions ReadApplyOptions(const VtIniFile& ini) {
  VtApplyOptions options;
  const int add = ini.GetInt(kSection, kAddOption, static_cast<int>(VtAddOption::kAsPlayer));
  const int list = ini.GetInt(kSection, kListOption, static_cast<int>(VtPlaylistOption::kAdd));
  if (add >= -1 && add <= 1) options.add = static_cast<VtAddOption>(add);
  if (list >= 0 && list <= 1) options.list = static_cast<VtPlaylistOption>(list);
  return options;
}

void WriteApplyOptions(VtIniFile& ini, const VtApplyOptions& options) {
  ini.SetInt(kSection, kAddOption, static_cast<int>(options.add));
  ini.SetInt(kSection, kListOption, static_cast<int>(options.list));
}
