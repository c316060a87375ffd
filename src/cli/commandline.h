// The command line of vntassoc-cli: what a script asks for, checked whole before anything changes.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "applyoptions.h"
#include "classes.h"

enum class VtCliVerb {
  kHelp,
  kList,
  kRegister,
  kUnregister,
  kExport,
  kScope,
  kRefresh,
  kPolicy,
  kRepair,
  kCheck,
};

struct VtCliRequest {
  VtCliVerb verb = VtCliVerb::kHelp;
  // Extensions with their "." and in capitals, as the window's rows hold them; each key once.
  std::vector<std::string> exts;
  bool all = false;
  // /user or /machine: the scope the caller insists on; none: the widest this user may write.
  std::optional<VtScope> scope;
  std::wstring typeName;     // empty: filetype.ini's, else "EXT File"
  std::optional<VtAddOption> add;        // /listadd; none: not given
  std::optional<VtPlaylistOption> list;  // /playlist; none: not given
  std::string playerPath;    // empty: asked of the running player
  std::wstring file;         // export's and policy's
  // policy's: /version's number (0: not given), /suggested and /base64.
  int version = 0;
  bool suggested = false;
  bool base64 = false;
};

// Parses args (the program's name left out). False for a bad command line, *error saying why.
bool ParseCommandLine(const std::vector<std::wstring>& args, VtCliRequest* request,
                      std::wstring* error);
