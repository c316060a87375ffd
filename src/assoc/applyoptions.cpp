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
  if (IsPlaylist(ext)) return options.list == 1 ? "/clear" : "";
  if (options.add == 1) return "/a";
  return options.add == 0 ? "/na" : "";
}

std::string OptionsPath(const char* windowExe) {
  char path[kPathSize];
  return ChangeExtension(path, kPathSize, windowExe, ".ini");
}

VtApplyOptions ReadApplyOptions(const VtIniFile& ini) {
  VtApplyOptions options;
  const int add = ini.GetInt(kSection, kAddOption, -1);
  const int list = ini.GetInt(kSection, kListOption, 0);
  if (add >= -1 && add <= 1) options.add = add;
  if (list >= 0 && list <= 1) options.list = list;
  return options;
}

void WriteApplyOptions(VtIniFile& ini, const VtApplyOptions& options) {
  ini.SetInt(kSection, kAddOption, options.add);
  ini.SetInt(kSection, kListOption, options.list);
}
