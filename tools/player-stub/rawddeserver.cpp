#include "rawddeserver.h"

#include <dde.h>

#include <cstddef>
#include <cstring>

namespace {

const char kName[] = "Vantrel Player";

// An atom of 0 in WM_DDE_INITIATE means "any service" or "any topic".
bool AtomIsNameOrAny(ATOM atom, const char* name) {
  if (atom == 0) return true;
  char text[256];
  if (GlobalGetAtomNameA(atom, text, sizeof text) == 0) return false;
  return lstrcmpiA(text, name) == 0;
}

void PostNegativeAck(HWND self, HWND client, ATOM item) {
  LPARAM lParam = PackDDElParam(WM_DDE_ACK, 0, item);
  if (!PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self), lParam)) {
    FreeDDElParam(WM_DDE_ACK, lParam);
    GlobalDeleteAtom(item);
  }
}

// A DDEDATA block that the client frees (fRelease). The client sees the block's size, which some
// Wine versions round up, so by default the text goes with its zero to end it before any padding.
HGLOBAL MakeTextData(const std::string& text, bool terminate) {
  SIZE_T length = text.size() + (terminate ? 1 : 0);
  SIZE_T size = offsetof(DDEDATA, Value) + length;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, size);
  if (block == nullptr) return nullptr;
  DDEDATA* data = static_cast<DDEDATA*>(GlobalLock(block));
  if (data == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  data->fResponse = 1;
  data->fRelease = 1;
  data->fAckReq = 0;
  data->cfFormat = CF_TEXT;
  std::memcpy(data->Value, text.c_str(), length);
  GlobalUnlock(block);
  return block;
}

}  // namespace

RawDdeServer::RawDdeServer(const StubConfig& config) : config_(config), nextTimerId_(kFirstTimerId) {}

RawDdeServer::~RawDdeServer() {
  for (const Pending& p : pending_) GlobalDeleteAtom(p.item);
}

bool RawDdeServer::Handle(HWND self, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND client = reinterpret_cast<HWND>(wParam);
  switch (message) {
    case WM_DDE_INITIATE:
      OnInitiate(self, client, lParam);
      return true;
    case WM_DDE_REQUEST:
      OnRequest(self, client, lParam);
      return true;
    case WM_DDE_TERMINATE:
      OnTerminate(self, client);
      return true;
    case WM_DDE_ACK: {
      // Only acknowledgements of our data could come here; their atoms are ours to delete.
      UINT_PTR status = 0;
      UINT_PTR item = 0;
      if (UnpackDDElParam(WM_DDE_ACK, lParam, &status, &item)) GlobalDeleteAtom(static_cast<ATOM>(item));
      FreeDDElParam(WM_DDE_ACK, lParam);
      return true;
    }
    case WM_DDE_POKE:
    case WM_DDE_ADVISE:
    case WM_DDE_UNADVISE:
    case WM_DDE_EXECUTE:
      return true;  // the player serves requests only
    case WM_TIMER:
      if (wParam < kFirstTimerId) return false;
      OnTimer(self, wParam);
      return true;
    default:
      return false;
  }
}

void RawDdeServer::OnInitiate(HWND self, HWND client, LPARAM lParam) {
  if (client == self) return;
  if (!AtomIsNameOrAny(LOWORD(lParam), kName) || !AtomIsNameOrAny(HIWORD(lParam), kName)) return;
  // The reply carries atoms of our own; the client deletes them.
  ATOM service = GlobalAddAtomA(kName);
  ATOM topic = GlobalAddAtomA(kName);
  SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self), MAKELPARAM(service, topic));
}

void RawDdeServer::OnRequest(HWND self, HWND client, LPARAM lParam) {
  UINT format = LOWORD(lParam);
  ATOM item = HIWORD(lParam);
  if (config_.delayMs == 0 || !IsDelayed(item)) {
    Answer(self, client, format, item);
    return;
  }
  UINT_PTR timerId = nextTimerId_++;
  if (SetTimer(self, timerId, config_.delayMs, nullptr) == 0) {
    Answer(self, client, format, item);
    return;
  }
  pending_.push_back({timerId, client, format, item});
}

void RawDdeServer::OnTerminate(HWND self, HWND client) {
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->client == client) {
      KillTimer(self, it->timerId);
      GlobalDeleteAtom(it->item);
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
  PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(self), 0);
}

void RawDdeServer::OnTimer(HWND self, UINT_PTR timerId) {
  KillTimer(self, timerId);
  for (auto it = pending_.begin(); it != pending_.end(); ++it) {
    if (it->timerId == timerId) {
      Pending p = *it;
      pending_.erase(it);
      Answer(self, p.client, p.format, p.item);
      return;
    }
  }
}

void RawDdeServer::Answer(HWND self, HWND client, UINT format, ATOM item) {
  const StubAnswer* answer = AnswerFor(item);
  if (answer == nullptr || !answer->present || format != CF_TEXT) {
    PostNegativeAck(self, client, item);
    return;
  }
  HGLOBAL data = MakeTextData(answer->text, config_.sendTerminator);
  if (data == nullptr) {
    PostNegativeAck(self, client, item);
    return;
  }
  LPARAM lParam = PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(data), item);
  if (!PostMessageA(client, WM_DDE_DATA, reinterpret_cast<WPARAM>(self), lParam)) {
    FreeDDElParam(WM_DDE_DATA, lParam);
    GlobalFree(data);
    GlobalDeleteAtom(item);
  }
}

const StubAnswer* RawDdeServer::AnswerFor(ATOM item) const {
  char name[256];
  if (GlobalGetAtomNameA(item, name, sizeof name) == 0) return nullptr;
  if (lstrcmpiA(name, "ExeName") == 0) return &config_.exeName;
  if (lstrcmpiA(name, "SupportExt") == 0) return &config_.supportExt;
  return nullptr;
}

bool RawDdeServer::IsDelayed(ATOM item) const {
  if (config_.delayItem.empty()) return true;
  char name[256];
  return GlobalGetAtomNameA(item, name, sizeof name) != 0 && lstrcmpiA(name, config_.delayItem.c_str()) == 0;
}
