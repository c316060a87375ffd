// The window: from starting vntassoc.exe (beside the stand-in player answering 500 extensions, all
// registered by the tool) until its list holds all 502 rows, against a program that only shows an
// empty list plus the floor of the player's DDE round trip and reading the same extensions
// directly. Then the window's fill of those rows in this process, with and without the walk of
// HKEY_CLASSES_ROOT for the tool's ProgIDs; the running tool's private memory with its 502 rows;
// the size of vntassoc.exe. And the start without the player before and after 10,000 unrelated
// types join the classes, which the classes' memo keeps from walking them.
#include <windows.h>
#include <ddeml.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "associnfo.h"
#include "floor.h"
#include "library.h"
#include "mainfrm.h"
#include "process.h"
#include "regfile.h"
#include "rounds.h"
#include "scratch.h"
#include "scratchset.h"
#include "stopwatch.h"
#include "stubprocess.h"
#include "table.h"
#include "widetext.h"
#include "windowfind.h"
#include "windowprobe.h"

using namespace vtbench;

namespace {

const int kExtensions = 500;
const int kRows = kExtensions + 2;  // the player's extensions, then .vnt and .m3u
const char kPlayerName[] = "Vantrel Player";
const DWORD kReadyTimeoutMs = 30000;

HDDEDATA CALLBACK NoCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// One conversation, two CF_TEXT requests, as the tool asks the player.
class DdeFloor {
 public:
  bool Ask(std::string* exePath, std::string* extensions) {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, NoCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
    HSZ name = DdeCreateStringHandleA(instance, kPlayerName, CP_WINANSI);
    HCONV conversation = DdeConnect(instance, name, name, nullptr);
    const bool answered = conversation != nullptr && Request(instance, conversation, "ExeName", exePath) &&
                          Request(instance, conversation, "SupportExt", extensions);
    if (conversation != nullptr) DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, name);
    DdeUninitialize(instance);
    return answered;
  }

 private:
  static bool Request(DWORD instance, HCONV conversation, const char* item, std::string* text) {
    HSZ itemName = DdeCreateStringHandleA(instance, item, CP_WINANSI);
    HDDEDATA data =
        DdeClientTransaction(nullptr, 0, conversation, itemName, CF_TEXT, XTYP_REQUEST, 10000, nullptr);
    DdeFreeStringHandle(instance, itemName);
    if (data == nullptr) return false;
    const DWORD size = DdeGetData(data, nullptr, 0, 0);
    text->assign(size, '\0');
    DdeGetData(data, reinterpret_cast<BYTE*>(&(*text)[0]), size, 0);
    text->resize(text->find('\0') == std::string::npos ? size : text->find('\0'));
    DdeFreeDataHandle(data);
    return true;
  }
};

// Each piece of the player's answer, with the playlist types appended, read directly, and the
// names of the tool's own registrations, which the fill checks against the rows; the pieces.
int FloorReads(std::string text) {
  FloorOwnNames();
  text += ";.vnt;.m3u";
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  FloorFacts facts;
  int pieces = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    text[end] = '\0';
    FloorRead(&text[start], &facts);
    ++pieces;
    start = end + 1;
  }
  return pieces;
}

// The floor of the list fill: the DDE round trip, then the reads.
bool FloorFill(int* pieces) {
  std::string exePath, text;
  if (!DdeFloor().Ask(&exePath, &text)) return false;
  *pieces = FloorReads(text);
  return true;
}

// Every extension registered as "適用" registers it, so that the tool's Default Apps registration
// lists all 500 and its fill checks each of them against the rows.
bool RegisterAll(const ScratchSet& set) {
  StartLibrary();
  for (int i = 0; i < set.count(); ++i)
    VtAssocInfo(set.ListExt(i).c_str())
        .Register(kPlayerPath, WideFrom(set.ToolTypeName(i).c_str(), CP_ACP).c_str(), "");
  StopLibrary();
  return set.IsRegistered("");
}

// The window's fill in this process, from the player's answer without asking it: the rows of the
// answer, then the tool's own associations, with or without a walk of both classes keys (a fresh
// memo walks them).
bool FillInProcess(TFrmAssoc& form, const std::string& extensions, bool scanClasses) {
  form.ListView->BeginUpdate();
  form.ClearList();
  VtClassesMemo walk;
  form.FillList(extensions.c_str(), scanClasses ? &walk : nullptr);
  form.ListView->EndUpdate();
  return form.ListView->Count() == kRows;
}

double FileKb(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<double>(data.nFileSizeLow) / 1024;
}

// The stand-in player, answering its own path and the extensions given, for as long as the
// benchmark runs.
bool StartPlayer(vttest::StubProcess* player, const std::string& answer) {
  if (player->Start("--lifetime 0 " + answer)) return true;
  std::fprintf(stderr, "bench: the stand-in player %s did not open its window\n",
               vttest::StubPath().c_str());
  return false;
}

// Starts a program, then times it until its list view holds rows rows; memory is taken after.
struct ListProgram {
  const char* windowClass;
  std::string exe;
  std::string folder;
  int rows;
  vttest::ChildProcess process;
  std::vector<double> peakKb, privateKb;

  bool StartAndWait() {
    if (!process.Start("\"" + exe + "\"", folder.c_str())) return false;
    return vttest::WaitForListRows(process, windowClass, rows, kReadyTimeoutMs, false) != nullptr;
  }
  bool MeasureAndClose() {
    MemoryUse use;
    if (!ProcessMemory(process.handle(), &use)) return false;
    peakKb.push_back(use.peakPrivateKb);
    privateKb.push_back(use.privateKb);
    if (!PostClose(windowClass, process.id()) || process.WaitForExit(10000) != 0) return false;
    process.Kill();
    return true;
  }
};

// The value after --compare: another build of vntassoc.exe (a Unix or Windows path) to start in the
// same rounds as this one, for a before-and-after of a change to the tool; empty without it.
std::string CompareExe(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--compare") == 0) return vttest::WinePath(argv[i + 1]);
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = RoundsFromArgs(argc, argv);
  PrintHeader();
  const std::string toolExe = vttest::WinePath(VT_BENCH_TOOL_EXE);
  const std::string strippedExe = vttest::WinePath(VT_BENCH_STRIPPED_EXE);
  const std::string blankExe = vttest::WinePath(VT_BENCH_BLANK_EXE);
  if (FindWindowA("TFrmAssoc", nullptr) != nullptr || FindWindowA("TFrmMIDI", nullptr) != nullptr) {
    std::fprintf(stderr, "bench: a tool or player window is already open on this desktop\n");
    return 1;
  }

  ScratchSet set(kExtensions);
  if (!set.Seed()) return 1;
  // The tool writes vntassoc.ini beside itself: run a copy in a folder of our own.
  vttest::ScratchDir folder;
  const std::string tool = folder.File("vntassoc.exe");
  if (!CopyFileA(toolExe.c_str(), tool.c_str(), FALSE)) {
    std::fprintf(stderr, "bench: could not copy %s\n", toolExe.c_str());
    return 1;
  }

  const std::string compareExe = CompareExe(argc, argv);
  vttest::ScratchDir compareFolder;
  const std::string compareTool = compareFolder.File("vntassoc.exe");
  if (!compareExe.empty() && !CopyFileA(compareExe.c_str(), compareTool.c_str(), FALSE)) {
    std::fprintf(stderr, "bench: could not copy %s\n", compareExe.c_str());
    return 1;
  }

  // The same start with a player that answers no extensions (three rows: an empty one, .vnt and
  // .m3u) splits the tool's time into what every start costs and what the rows add. It comes first,
  // while the tool has registered nothing that would add rows of its own.
  vttest::StubProcess player;
  if (!StartPlayer(&player, "--support-ext-empty")) return 1;
  ListProgram fewRows{"TFrmAssoc", tool, folder.path(), 3, {}, {}, {}};
  Rounds fixed;
  fixed.Step("tool", [&] { return fewRows.StartAndWait(); });
  fixed.Untimed("close tool", [&] { return fewRows.MeasureAndClose(); });
  ListProgram otherFew{"TFrmAssoc", compareTool, compareFolder.path(), 3, {}, {}, {}};
  if (!compareExe.empty()) {
    fixed.Step("compare", [&] { return otherFew.StartAndWait(); });
    fixed.Untimed("close compare", [&] { return otherFew.MeasureAndClose(); });
  }
  if (!fixed.Run(runs) || player.Close() != 0) return 1;

  if (!RegisterAll(set)) {
    std::fprintf(stderr, "bench: could not register the scratch associations\n");
    return 1;
  }
  std::string extensions;
  for (int i = 0; i < set.count(); ++i) extensions += (i ? ";" : "") + set.Ext(i);
  if (!StartPlayer(&player, "--support-ext \"" + extensions + "\"")) return 1;

  ListProgram vntassoc{"TFrmAssoc", tool, folder.path(), kRows, {}, {}, {}};
  ListProgram blank{"VtBenchBlank", blankExe, folder.path(), 0, {}, {}, {}};
  int pieces = 0;
  Rounds rounds;
  rounds.Step("tool", [&] { return vntassoc.StartAndWait(); });
  rounds.Untimed("close tool", [&] { return vntassoc.MeasureAndClose(); });
  rounds.Step(
      "floor", [&] { return FloorFill(&pieces); }, [&] { return pieces == kRows; });
  rounds.Step("blank", [&] { return blank.StartAndWait(); });
  rounds.Untimed("close blank", [&] { return blank.MeasureAndClose(); });
  ListProgram other{"TFrmAssoc", compareTool, compareFolder.path(), kRows, {}, {}, {}};
  if (!compareExe.empty()) {
    rounds.Step("compare", [&] { return other.StartAndWait(); });
    rounds.Untimed("close compare", [&] { return other.MeasureAndClose(); });
  }
  if (!rounds.Run(runs)) return 1;

  // Without the player the window lists the tool's own 500 associations and looks for older ones
  // in every key of both classes, which the classes' memo in its options file spares while they
  // stand: the same start before and after 10,000 unrelated types join the machine's classes.
  if (player.Close() != 0) return 1;
  ListProgram alone{"TFrmAssoc", tool, folder.path(), kExtensions, {}, {}, {}};
  Rounds plain, many;
  for (Rounds* each : {&plain, &many}) {
    each->Step("tool", [&] { return alone.StartAndWait(); });
    each->Untimed("close tool", [&] { return alone.MeasureAndClose(); });
  }
  // One start first, a second after the last change: the memo keeps only a settled time.
  auto remember = [&] {
    Sleep(1100);
    return alone.StartAndWait() && alone.MeasureAndClose();
  };
  if (!remember() || !plain.Run(runs)) return 1;
  {
    ScratchSet unrelated(10000, kExtensions);
    if (!unrelated.Seed() || !remember() || !many.Run(runs)) return 1;
  }
  if (!StartPlayer(&player, "--support-ext \"" + extensions + "\"")) return 1;

  // In this process, the window's own fill of the same answer: with and without the walk of
  // HKEY_CLASSES_ROOT, against the reads alone. A window of its own would make a started
  // vntassoc.exe end at once, so this comes after the rounds above.
  Application.Initialize();
  Rounds inProcess;
  {
    TFrmAssoc form;
    inProcess.Step("fill", [&] { return FillInProcess(form, extensions, false); });
    inProcess.Step("fill with scan", [&] { return FillInProcess(form, extensions, true); });
    inProcess.Step("reads", [&] { return FloorReads(extensions) == kRows; });
    if (!inProcess.Run(runs)) return 1;
  }
  // The window wrote its options file beside this program when it went.
  char module[MAX_PATH];
  const std::string self(module, GetModuleFileNameA(nullptr, module, MAX_PATH));
  DeleteFileA((self.substr(0, self.find_last_of('.')) + ".ini").c_str());

  TableRow window;
  window.measure = "4 window: start until 502 rows";
  window.tool = rounds.Median("tool");
  // The goal: the tool's own window shown with an empty answer (its controls, its DDE round trip),
  // plus the floor's reads of the 502 extensions, plus a tenth.
  window.floor = fixed.Median("tool") + inProcess.Median("reads");
  window.altName = "empty list program";
  window.alt = rounds.Median("blank");
  window.goal = "<=1.1x (3-row start + reads)";
  window.met = window.tool <= 1.1 * window.floor;
  PrintRow(window);

  TableRow unrelated;
  unrelated.measure = "4 window: start without the player, 500 rows, +10,000 types";
  unrelated.tool = many.Median("tool");
  unrelated.floor = plain.Median("tool");
  unrelated.goal = "<=1.1x (same start without them)";
  unrelated.met = unrelated.tool <= 1.1 * unrelated.floor;
  PrintRow(unrelated);

  TableRow fill;
  fill.measure = "4 window: fill of 502 rows, HKCR walked";
  fill.tool = inProcess.Median("fill with scan");
  fill.floor = inProcess.Median("reads");
  fill.altName = "fill without the walk";
  fill.alt = inProcess.Median("fill");
  PrintRow(fill);
  const double startWithScan = window.tool + fill.tool - fill.alt;
  std::printf("NOTE\twindow, start until 502 rows with the walk (the start plus what the walk adds "
              "to the fill): %.1f ms, %.2fx (3-row start + reads)\n",
              startWithScan, startWithScan / window.floor);
  std::printf("NOTE\twindow, start until 502 rows against the empty list program plus the DDE "
              "round trip and the reads: %.2fx\n",
              window.tool / (rounds.Median("blank") + rounds.Median("floor")));

  TableRow peak;
  peak.measure = "5 memory: peak private bytes, 502 rows";
  peak.unit = "KiB";
  peak.tool = Median(vntassoc.peakKb);
  peak.altName = "empty list program";
  peak.alt = Median(blank.peakKb);
  PrintRow(peak);
  TableRow now = peak;
  now.measure = "5 memory: private bytes, 502 rows";
  now.tool = Median(vntassoc.privateKb);
  now.alt = Median(blank.privateKb);
  PrintRow(now);

  TableRow size;
  size.measure = "5 size: vntassoc.exe, stripped as packaged";
  size.unit = "KiB";
  size.tool = FileKb(strippedExe);
  size.altName = "empty list program";
  size.alt = FileKb(blankExe);
  PrintRow(size);
  std::printf("NOTE\tvntassoc.exe as built (RelWithDebInfo, with debugging information): %.0f KiB\n",
              FileKb(toolExe));
  std::printf("NOTE\twindow, start until 3 rows (player answers no extensions): %.1f ms, "
              "peak private bytes %.0f KiB\n",
              fixed.Median("tool"), Median(fewRows.peakKb));
  if (!compareExe.empty())
    std::printf("NOTE\twindow, --compare %s: %.1f ms until 502 rows (%.2fx this build), %.1f ms "
                "until 3 rows (%.2fx), peak private bytes %.0f KiB\n",
                compareExe.c_str(), rounds.Median("compare"),
                rounds.Median("compare") / window.tool, fixed.Median("compare"),
                fixed.Median("compare") / fixed.Median("tool"), Median(other.peakKb));
  return player.Close() == 0 ? 0 : 1;
}
