#include "commandline.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <unordered_set>

#include "assoctext.h"
#include "changefailure.h"
#include "clitexts.h"
#include "extensionrule.h"
#include "longpath.h"
#include "ownedtext.h"
#include "text.h"
#include "uitext.h"
#include "widetext.h"

namespace {

enum Switch : unsigned {
  kAll = 1,
  kType = 2,
  kListAdd = 4,
  kPlaylist = 8,
  kPlayer = 16,
  kUser = 32,
  kMachine = 64,
  kSuggested = 128,
  kVersion = 256,
  kBase64 = 512,
};

struct SwitchName {
  const wchar_t* name;
  Switch flag;
  bool takesValue;
};

const SwitchName kSwitches[] = {
    {L"all", kAll, false},          {L"type", kType, true},     {L"listadd", kListAdd, true},
    {L"playlist", kPlaylist, true}, {L"player", kPlayer, true}, {L"user", kUser, false},
    {L"machine", kMachine, false},  {L"suggested", kSuggested, false},
    {L"version", kVersion, true},   {L"base64", kBase64, false},
};

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool IsHelp(const std::wstring& arg) {
  const std::wstring lower = Lower(arg);
  return lower == L"/?" || lower == L"-?" || lower == L"-h" || lower == L"/h" ||
         lower == L"--help" || lower == L"/help" || lower == L"-help";
}

// The switch's name without its "/" or "-"; empty for an argument that is no switch.
std::wstring SwitchOf(const std::wstring& arg) {
  if (arg.size() < 2 || (arg[0] != L'/' && arg[0] != L'-')) return std::wstring();
  return Lower(arg.substr(1));
}

// The switches each command takes.
unsigned AllowedFor(VtCliVerb verb) {
  switch (verb) {
    case VtCliVerb::kRegister:
      return kAll | kType | kListAdd | kPlaylist | kPlayer | kUser | kMachine;
    case VtCliVerb::kUnregister:
      return kAll | kUser | kMachine;
    case VtCliVerb::kList:
    case VtCliVerb::kRepair:
    case VtCliVerb::kCheck:
      return kPlayer | kUser | kMachine;
    case VtCliVerb::kExport:
      return kUser | kMachine;
    case VtCliVerb::kScope:
      return kPlayer | kUser | kMachine;
    case VtCliVerb::kPolicy:
      return kSuggested | kVersion | kBase64;
    case VtCliVerb::kRefresh:
    case VtCliVerb::kHelp:
      break;
  }
  return 0;
}

// Whether the command takes extensions among its arguments.
bool TakesExtensions(VtCliVerb verb) {
  return verb != VtCliVerb::kScope && verb != VtCliVerb::kRefresh;
}

// Whether the command's first argument that is no switch names the file it writes.
bool TakesFile(VtCliVerb verb) { return verb == VtCliVerb::kExport || verb == VtCliVerb::kPolicy; }

// arg as an extension key name: ".EXT" in capitals, the dot added when arg lacks it. False for a
// character the ANSI code page lacks and for what IsExtension refuses; whether it may be registered
// is register's own question.
bool ToExtension(const std::wstring& arg, std::string* ext) {
  const std::wstring name = !arg.empty() && arg[0] == L'.' ? arg : L"." + arg;
  const VtOwnedText narrow(NarrowExact(name.c_str()));
  if (!narrow || !IsExtension(narrow.get())) return false;
  *ext = narrow.get();
  UpperInPlace(&(*ext)[0]);
  return true;
}

// why (the id of one of the tool's own texts, clitexts.h) followed by what the caller gave, as given.
bool Fail(std::wstring* error, UINT why, const std::wstring& given = std::wstring()) {
  *error = VtText(why) + given;
  return false;
}

bool TakeValue(Switch flag, const std::wstring& value, VtCliRequest* request,
              std::wstring* error) {
  const std::wstring lower = Lower(value);
  switch (flag) {
    case kType:
      request->typeName = value;
      return true;
    case kListAdd:
      if (lower == L"player") request->add = VtAddOption::kAsPlayer;
      else if (lower == L"yes") request->add = VtAddOption::kYes;
      else if (lower == L"no") request->add = VtAddOption::kNo;
      else return Fail(error, IDS_CLI_LISTADD);
      return true;
    case kPlaylist:
      if (lower == L"add") request->list = VtPlaylistOption::kAdd;
      else if (lower == L"new") request->list = VtPlaylistOption::kNew;
      else return Fail(error, IDS_CLI_PLAYLIST);
      return true;
    case kPlayer: {
      // The open command is read from any folder: a relative path is made whole against the
      // current one now, as the caller meant it.
      const std::wstring full = FullLongPath(value.c_str());
      const VtOwnedText text(NarrowExact(full.empty() ? value.c_str() : full.c_str()));
      if (!text) return Fail(error, IDS_CLI_BAD_PLAYER, value);
      request->playerPath = text.get();
      return true;
    }
    case kVersion: {
      // A whole number of 1 or more in decimal digits, small enough for an int.
      if (value.empty() || value.size() > 9 ||
          value.find_first_not_of(L"0123456789") != std::wstring::npos)
        return Fail(error, IDS_CLI_BAD_VERSION, value);
      request->version = static_cast<int>(std::wcstol(value.c_str(), nullptr, 10));
      if (request->version < 1) return Fail(error, IDS_CLI_BAD_VERSION, value);
      return true;
    }
    default:
      return true;
  }
}

VtCliVerb VerbOf(const std::wstring& arg) {
  const std::wstring lower = Lower(arg);
  if (lower == L"list") return VtCliVerb::kList;
  if (lower == L"register") return VtCliVerb::kRegister;
  if (lower == L"unregister") return VtCliVerb::kUnregister;
  if (lower == L"export") return VtCliVerb::kExport;
  if (lower == L"scope") return VtCliVerb::kScope;
  if (lower == L"refresh") return VtCliVerb::kRefresh;
  if (lower == L"policy") return VtCliVerb::kPolicy;
  if (lower == L"repair") return VtCliVerb::kRepair;
  if (lower == L"check") return VtCliVerb::kCheck;
  return VtCliVerb::kHelp;
}

// What the arguments read so far gave.
struct Parsed {
  unsigned allowed = 0;  // the command's switches
  unsigned given = 0;    // the switches met
  bool hasFile = false;
  std::unordered_set<std::wstring> held;  // every extension's key, as the registry compares them
};

// The switch args[*i] names, and its value after it where it takes one (*i then moves on to it).
bool TakeSwitch(const std::vector<std::wstring>& args, size_t* i, const std::wstring& name,
                Parsed* parsed, VtCliRequest* request, std::wstring* error) {
  const SwitchName* known = nullptr;
  for (const SwitchName& s : kSwitches)
    if (name == s.name) known = &s;
  if (known == nullptr || (parsed->allowed & known->flag) == 0)
    return Fail(error, IDS_CLI_SWITCH_NOT_HERE, args[*i]);
  if ((parsed->given & known->flag) != 0) return Fail(error, IDS_CLI_SWITCH_TWICE, args[*i]);
  parsed->given |= known->flag;
  if (!known->takesValue) return true;
  if (*i + 1 == args.size()) {
    *error = args[*i] + VtText(IDS_CLI_NO_VALUE);
    return false;
  }
  return TakeValue(known->flag, args[++*i], request, error);
}

// An argument that is no switch: the file the command writes, then its extensions.
bool TakeOperand(const std::wstring& arg, Parsed* parsed, VtCliRequest* request,
                 std::wstring* error) {
  if (TakesFile(request->verb) && !parsed->hasFile) {
    if (arg.empty()) return Fail(error, IDS_CLI_NO_FILE);
    request->file = arg;
    parsed->hasFile = true;
    return true;
  }
  std::string ext;
  if (!TakesExtensions(request->verb)) return Fail(error, IDS_CLI_NO_EXTENSIONS_HERE, arg);
  if (!ToExtension(arg, &ext)) return Fail(error, IDS_CLI_NOT_EXTENSION, arg);
  // One key once, however the script spelled it.
  if (parsed->held.insert(KeyNameFold(ext.c_str())).second) request->exts.push_back(ext);
  return true;
}

// The switches given, and what the whole command line must hold together.
bool Complete(const Parsed& parsed, VtCliRequest* request, std::wstring* error) {
  const unsigned given = parsed.given;
  request->all = (given & kAll) != 0;
  if ((given & kUser) != 0 && (given & kMachine) != 0)
    return Fail(error, IDS_CLI_USER_AND_MACHINE);
  if ((given & kUser) != 0) request->scope = VtScope::kUser;
  if ((given & kMachine) != 0) request->scope = VtScope::kMachine;
  if (TakesFile(request->verb) && !parsed.hasFile) return Fail(error, IDS_CLI_NO_FILE);
  request->suggested = (given & kSuggested) != 0;
  request->base64 = (given & kBase64) != 0;
  const bool needsExtensions =
      request->verb == VtCliVerb::kRegister || request->verb == VtCliVerb::kUnregister;
  if (needsExtensions && request->all && !request->exts.empty())
    return Fail(error, IDS_CLI_EXT_AND_ALL);
  if (needsExtensions && !request->all && request->exts.empty())
    return Fail(error, IDS_CLI_EXT_OR_ALL);
  // unregister and the listings take every extension the tool may once have registered.
  if (request->verb != VtCliVerb::kRegister) return true;
  for (const std::string& ext : request->exts) {
    const DWORD problem = ExtensionProblem(ext.c_str());
    if (problem != ERROR_SUCCESS) {
      *error = VtText(IDS_CLI_CANNOT_REGISTER) +
               ChangeFailureLine(WideFrom(ext.c_str(), CP_ACP), problem);
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::wstring>& args, VtCliRequest* request,
                      std::wstring* error) {
  *request = VtCliRequest();
  // Help as the command, or as the command's only argument; anywhere else "/?" or "-h" is what
  // the caller meant it as: a switch's value, or a mistake.
  // An unknown command is refused as such, with or without help after it.
  if (!args.empty() && IsHelp(args[0])) return true;
  if (args.empty()) return Fail(error, IDS_CLI_NO_COMMAND);
  request->verb = VerbOf(args[0]);
  if (request->verb == VtCliVerb::kHelp) return Fail(error, IDS_CLI_UNKNOWN_COMMAND, args[0]);
  if (args.size() == 2 && IsHelp(args[1])) {
    request->verb = VtCliVerb::kHelp;
    return true;
  }

  Parsed parsed;
  parsed.allowed = AllowedFor(request->verb);
  bool switches = true;
  for (size_t i = 1; i < args.size(); ++i) {
    // "--" ends the switches: a file or an extension may begin with "/" or "-".
    if (switches && args[i] == L"--") {
      switches = false;
      continue;
    }
    const std::wstring name = switches ? SwitchOf(args[i]) : std::wstring();
    const bool taken = !name.empty() ? TakeSwitch(args, &i, name, &parsed, request, error)
                                     : TakeOperand(args[i], &parsed, request, error);
    if (!taken) return false;
  }
  return Complete(parsed, request, error);
}
