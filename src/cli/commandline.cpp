#include "commandline.h"

#include <windows.h>

#include <cwctype>
#include <unordered_set>

#include "assoctext.h"
#include "changefailure.h"
#include "extensionrule.h"
#include "longpath.h"
#include "ownedtext.h"
#include "registry.h"
#include "text.h"
#include "widetext.h"

const char kUsage[] =
    "使い方:\r\n"
    "  vntassoc-cli list [EXT...] [/user|/machine]\r\n"
    "  vntassoc-cli register EXT...|/all [/type NAME] [/listadd player|yes|no]\r\n"
    "               [/playlist add|new] [/player PATH] [/user|/machine]\r\n"
    "  vntassoc-cli unregister EXT...|/all [/user|/machine]\r\n"
    "  vntassoc-cli export FILE [EXT...] [/user|/machine]\r\n"
    "  vntassoc-cli scope [/player PATH] [/user|/machine]\r\n"
    "  vntassoc-cli refresh\r\n"
    "  vntassoc-cli /?\r\n"
    "\r\n"
    "  list        拡張子ごとの今の関連付けをタブ区切りで表示します。\r\n"
    "              extension state type command icon windows (state: tool, other, none)\r\n"
    "  register    拡張子を Vantrel Player に関連付けます (確認はしません)。\r\n"
    "  unregister  関連付けを解除して、関連付ける前の設定に戻します。\r\n"
    "  export      今の状態を、reg import で戻せる登録ファイルに書き出します。\r\n"
    "              EXT を省略すると、このツールが変えうるものすべてです。\r\n"
    "  scope       register の登録先を表示します (machine: すべてのユーザー / user: このユーザー)。\r\n"
    "  refresh     関連付けが変わったことをエクスプローラーに知らせます (reg import の後に)。\r\n"
    "  EXT         拡張子 (mp3 または .mp3)。省略すると、ウィンドウに並ぶ拡張子です。\r\n"
    "  /all        register: プレーヤーが再生するすべての拡張子\r\n"
    "              unregister: このツールが関連付けた、解除できるすべての拡張子と、\r\n"
    "              このツールが残したもの\r\n"
    "  /type       ファイルの種類 (省略すると filetype.ini の名前、なければ \"EXT File\")\r\n"
    "  /listadd    ファイルを開くとき: player 本体の設定に合わせる / yes 追加する / no 追加しない\r\n"
    "  /playlist   プレイリストを開くとき: add 追加で開く / new 新規に開く\r\n"
    "              (省略すると vntassoc.ini の設定)\r\n"
    "  /player     プレーヤーの実行ファイル (省略すると起動中のプレーヤーに問い合わせます)\r\n"
    "  /user       管理者でも、このユーザーの関連付けだけを扱います\r\n"
    "  /machine    すべてのユーザーの関連付けを扱います。管理者として実行していないときや、\r\n"
    "              プレーヤーがユーザーのフォルダーにあるときは、何もせず終了コード 2 です\r\n"
    "  (どちらも省略すると、管理者ならすべてのユーザー、それ以外はこのユーザーです)\r\n"
    "\r\n"
    "終了コード: 0 完了 / 1 変更できなかった拡張子がある / 2 コマンドラインの誤り (何も変更しません)\r\n";

namespace {

enum Switch : unsigned {
  kAll = 1,
  kType = 2,
  kListAdd = 4,
  kPlaylist = 8,
  kPlayer = 16,
  kUser = 32,
  kMachine = 64,
};

struct SwitchName {
  const wchar_t* name;
  Switch flag;
  bool takesValue;
};

const SwitchName kSwitches[] = {
    {L"all", kAll, false},          {L"type", kType, true},     {L"listadd", kListAdd, true},
    {L"playlist", kPlaylist, true}, {L"player", kPlayer, true}, {L"user", kUser, false},
    {L"machine", kMachine, false},
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
    case VtCliVerb::kExport:
      return kUser | kMachine;
    case VtCliVerb::kScope:
      return kPlayer | kUser | kMachine;
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

// arg as an extension key name: ".EXT" in capitals. False for anything that is no extension: empty,
// dots only, a path of keys, the wildcard class "*", a control character, longer than a key name,
// ".exe", or a character the ANSI code page lacks.
bool ToExtension(const std::wstring& arg, std::string* ext) {
  const std::wstring name = !arg.empty() && arg[0] == L'.' ? arg : L"." + arg;
  if (name.size() > static_cast<size_t>(VtRegistry::kMaxNameChars) ||
      name.find_first_not_of(L'.') == std::wstring::npos)
    return false;
  for (wchar_t c : name)
    if (c < 0x20 || c == 0x7F || c == L'\\' || c == L'*' || c == L'?') return false;
  if (Lower(name) == L".exe") return false;
  const VtOwnedText narrow(NarrowExact(name.c_str()));
  if (!narrow || !IsExtension(narrow.get())) return false;
  *ext = narrow.get();
  UpperInPlace(&(*ext)[0]);
  return true;
}

// why (one of the tool's own texts) followed by what the caller gave, as given.
bool Fail(std::wstring* error, const char* why, const std::wstring& given = std::wstring()) {
  *error = OwnText(why) + given;
  return false;
}

bool SetValue(Switch flag, const std::wstring& value, VtCliRequest* request,
              std::wstring* error) {
  const std::wstring lower = Lower(value);
  switch (flag) {
    case kType: {
      if (value.empty()) return true;
      const VtOwnedText text(NarrowExact(value.c_str()));
      if (!text) return Fail(error, "この種類の名前は使えません: ", value);
      request->typeName = text.get();
      return true;
    }
    case kListAdd:
      if (lower == L"player") request->add = -1;
      else if (lower == L"yes") request->add = 1;
      else if (lower == L"no") request->add = 0;
      else return Fail(error, "/listadd には player、yes、no のどれかを指定してください。");
      return true;
    case kPlaylist:
      if (lower == L"add") request->list = 0;
      else if (lower == L"new") request->list = 1;
      else return Fail(error, "/playlist には add か new を指定してください。");
      return true;
    case kPlayer: {
      // The open command is read from any folder: a relative path is made whole against the
      // current one now, as the caller meant it.
      const std::wstring full = FullLongPath(value.c_str());
      const VtOwnedText text(NarrowExact(full.empty() ? value.c_str() : full.c_str()));
      if (!text) return Fail(error, "このプレーヤーのパスは使えません: ", value);
      request->playerPath = text.get();
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
  return VtCliVerb::kHelp;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::wstring>& args, VtCliRequest* request,
                      std::wstring* error) {
  *request = VtCliRequest();
  // Help as the command, or as the command's only argument; anywhere else "/?" or "-h" is what
  // the caller meant it as: a switch's value, or a mistake.
  if (!args.empty() && (IsHelp(args[0]) || (args.size() == 2 && IsHelp(args[1])))) return true;
  if (args.empty()) return Fail(error, "コマンドを指定してください。");
  request->verb = VerbOf(args[0]);
  if (request->verb == VtCliVerb::kHelp) return Fail(error, "不明なコマンドです: ", args[0]);

  const unsigned allowed = AllowedFor(request->verb);
  unsigned given = 0;
  bool hasFile = false;
  std::unordered_set<std::wstring> held;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::wstring name = SwitchOf(args[i]);
    if (!name.empty()) {
      const SwitchName* known = nullptr;
      for (const SwitchName& s : kSwitches)
        if (name == s.name) known = &s;
      if (known == nullptr || (allowed & known->flag) == 0)
        return Fail(error, "このコマンドには使えないスイッチです: ", args[i]);
      if ((given & known->flag) != 0)
        return Fail(error, "スイッチが二度指定されています: ", args[i]);
      given |= known->flag;
      if (known->takesValue) {
        if (i + 1 == args.size()) {
          *error = args[i] + OwnText(" の後に値がありません。");
          return false;
        }
        if (!SetValue(known->flag, args[++i], request, error)) return false;
      }
      continue;
    }
    if (request->verb == VtCliVerb::kExport && !hasFile) {
      if (args[i].empty()) return Fail(error, "書き出すファイルを指定してください。");
      request->file = args[i];
      hasFile = true;
      continue;
    }
    std::string ext;
    if (!TakesExtensions(request->verb))
      return Fail(error, "このコマンドは拡張子を取りません: ", args[i]);
    if (!ToExtension(args[i], &ext)) return Fail(error, "拡張子ではありません: ", args[i]);
    // One key once, however the script spelled it.
    if (held.insert(KeyNameFold(ext.c_str())).second) request->exts.push_back(ext);
  }
  request->all = (given & kAll) != 0;
  if ((given & kUser) != 0 && (given & kMachine) != 0)
    return Fail(error, "/user と /machine は一緒に指定できません。");
  if ((given & kUser) != 0) request->scope = VtScope::kUser;
  if ((given & kMachine) != 0) request->scope = VtScope::kMachine;
  if (request->verb == VtCliVerb::kExport && !hasFile)
    return Fail(error, "書き出すファイルを指定してください。");
  const bool needsExtensions =
      request->verb == VtCliVerb::kRegister || request->verb == VtCliVerb::kUnregister;
  if (needsExtensions && request->all && !request->exts.empty())
    return Fail(error, "拡張子と /all は一緒に指定できません。");
  if (needsExtensions && !request->all && request->exts.empty())
    return Fail(error, "拡張子か /all を指定してください。");
  // Undo and the listings take every extension the tool may once have registered.
  if (request->verb == VtCliVerb::kRegister) {
    for (const std::string& ext : request->exts) {
      const DWORD problem = ExtensionProblem(ext.c_str());
      if (problem != ERROR_SUCCESS) {
        *error = OwnText("登録できない拡張子です。") +
                 ChangeFailureLine(WideFrom(ext.c_str(), CP_ACP), problem);
        return false;
      }
    }
  }
  return true;
}
