// vntassoc-cli: the tool's associations for scripts and installers, without a window or a question.
// The exit code tells the caller how it ended (commands.h).
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <string>
#include <vector>

#include "clitexts.h"
#include "commandline.h"
#include "commands.h"
#include "initializer.h"
#include "library.h"
#include "localmemory.h"
#include "rowchanges.h"
#include "stdstream.h"
#include "systemlibrary.h"
#include "uitext.h"

namespace {

// The arguments as the caller gave them, in UTF-16: the ANSI ones would have turned a character
// the code page lacks into "?" before anyone could refuse it.
std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> args;
  int count = 0;
  const VtLocal<LPWSTR> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(argv.get()[i]);
  return args;
}

int Run(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err) {
  switch (request.verb) {
    case VtCliVerb::kList:
      return RunList(request, out, err);
    case VtCliVerb::kRegister:
      return RunRegister(request, err);
    case VtCliVerb::kUnregister:
      return RunUnregister(request, err);
    case VtCliVerb::kExport:
      return RunExport(request, err);
    case VtCliVerb::kPolicy:
      return RunPolicy(request, err);
    case VtCliVerb::kScope:
      return RunScope(request, out, err);
    case VtCliVerb::kRepair:
      return RunRepair(request, out, err);
    case VtCliVerb::kCheck:
      return RunCheck(request, out, err);
    case VtCliVerb::kRefresh:
      NotifyAssociationsChanged();
      return kExitDone;
    case VtCliVerb::kHelp:
      break;
  }
  out.Write(VtText(IDS_CLI_USAGE));
  return kExitDone;
}

}  // namespace

int main() {
  RestrictLibrarySearch();
  Initializer library;
  VtErrorMode quiet;
  const VtStdStream out(STD_OUTPUT_HANDLE);
  const VtStdStream err(STD_ERROR_HANDLE);
  VtCliRequest request;
  std::wstring why;
  if (!ParseCommandLine(Arguments(), &request, &why)) return Refuse(err, why);
  int code = Run(request, out, err);
  // Said once at the end, so that a script's log tells why a name reads "?" or a list is short.
  if (out.Lossy() || err.Lossy()) err.Write(VtText(IDS_CLI_LOSSY) + L"\r\n");
  if (out.Failed()) {
    err.Write(VtText(IDS_CLI_OUTPUT_FAILED) + L"\r\n");
    if (code == kExitDone) code = kExitSomeNotChanged;
  }
  return code;
}
