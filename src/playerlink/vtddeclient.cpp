#include "vtddeclient.h"

#include <cstdlib>
#include <type_traits>

#include "ddereplyfilter.h"

namespace {

// Frees a DDE string handle when the request leaves.
class ItemHandle {
 public:
  ItemHandle(DWORD instance, const char* item)
      : instance_(instance), handle_(DdeCreateStringHandleA(instance, item, CP_WINANSI)) {}
  ~ItemHandle() {
    if (handle_ != nullptr) DdeFreeStringHandle(instance_, handle_);
  }
  ItemHandle(const ItemHandle&) = delete;
  ItemHandle& operator=(const ItemHandle&) = delete;

  HSZ get() const { return handle_; }

 private:
  DWORD instance_;
  HSZ handle_;
};

void FreeData(HDDEDATA data) { DdeFreeDataHandle(data); }
// Frees a DDE data handle when the request leaves.
using DataHandle = VtOwner<std::remove_pointer_t<HDDEDATA>, FreeData>;

}  // namespace

VtDDEClient::VtDDEClient(PFNCALLBACK callback, const char* topic, const char* service)
    : VtDDE(callback, topic, service), conversation_(nullptr) {
  if (instance() != 0 && topicHandle() != nullptr) {
    // Only for the windows DdeConnect makes: the replies reach the conversation's own window.
    const VtDdeReplyFilter replies;
    conversation_ = DdeConnect(instance(), serviceHandle(), topicHandle(), nullptr);
  }
}

VtDDEClient::~VtDDEClient() {
  if (conversation_ != nullptr) DdeDisconnect(conversation_);
}

HWND VtDDEClient::partner() const {
  if (conversation_ == nullptr) return nullptr;
  CONVINFO info = {};
  info.cb = sizeof info;
  return DdeQueryConvInfo(conversation_, QID_SYNC, &info) != 0 ? info.hwndPartner : nullptr;
}

VtOwnedText VtDDEClient::Request(const char* item, DWORD timeout) {
  if (item == nullptr || conversation_ == nullptr) return nullptr;

  // Declared first so that the item handle is freed before the data handle.
  DataHandle data;
  ItemHandle itemHandle(instance(), item);
  data.reset(DdeClientTransaction(nullptr, 0, conversation_, itemHandle.get(), CF_TEXT, XTYP_REQUEST,
                                  timeout, nullptr));
  if (!data) {
    // Reading the error clears it, so the next request on this conversation starts clean.
    DdeGetLastError(instance());
    return nullptr;
  }
  DWORD size = DdeGetData(data.get(), nullptr, 0, 0);
  // Out of memory is a failed request like any other: nothing in this tool throws.
  VtOwnedText text(static_cast<char*>(std::malloc(size + 1)));
  if (!text) return nullptr;
  DdeGetData(data.get(), reinterpret_cast<LPBYTE>(text.get()), size, 0);
  text.get()[size] = 0;
  return text;
}
