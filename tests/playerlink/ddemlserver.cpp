#include "ddemlserver.h"

namespace vttest {
namespace {

// DDEML callbacks carry no context; each server thread serves exactly one object.
thread_local DdemlServer* currentServer = nullptr;

}  // namespace

DdemlServer::DdemlServer(const std::string& name, const std::string& answer)
    : name_(name),
      answer_(answer),
      instance_(0),
      nameHandle_(nullptr),
      started_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_(nullptr),
      threadId_(0),
      ready_(false),
      requests_(0) {
  thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId_);
  if (thread_ != nullptr) WaitForSingleObject(started_, 10000);
}

DdemlServer::~DdemlServer() {
  if (thread_ != nullptr) {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
  }
  CloseHandle(started_);
}

DWORD WINAPI DdemlServer::ThreadMain(void* self) {
  static_cast<DdemlServer*>(self)->Serve();
  return 0;
}

void DdemlServer::Serve() {
  currentServer = this;
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts WM_QUIT
  const DWORD flags = APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_EXECUTES | CBF_FAIL_POKES |
                      CBF_SKIP_ALLNOTIFICATIONS;
  if (DdeInitializeA(&instance_, Callback, flags, 0) == DMLERR_NO_ERROR) {
    nameHandle_ = DdeCreateStringHandleA(instance_, name_.c_str(), CP_WINANSI);
    ready_ = nameHandle_ != nullptr && DdeNameService(instance_, nameHandle_, nullptr, DNS_REGISTER) != nullptr;
  }
  SetEvent(started_);
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (instance_ != 0) {
    if (ready_) DdeNameService(instance_, nameHandle_, nullptr, DNS_UNREGISTER);
    if (nameHandle_ != nullptr) DdeFreeStringHandle(instance_, nameHandle_);
    DdeUninitialize(instance_);
  }
}

HDDEDATA CALLBACK DdemlServer::Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA,
                                        ULONG_PTR, ULONG_PTR) {
  DdemlServer* self = currentServer;
  if (self == nullptr) return nullptr;
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(
          static_cast<UINT_PTR>(DdeCmpStringHandles(topic, self->nameHandle_) == 0));
    case XTYP_REQUEST:
      if (format != CF_TEXT) return nullptr;
      InterlockedIncrement(&self->requests_);
      return DdeCreateDataHandle(self->instance_,
                                 reinterpret_cast<LPBYTE>(const_cast<char*>(self->answer_.data())),
                                 static_cast<DWORD>(self->answer_.size()), 0, item, CF_TEXT, 0);
    default:
      return nullptr;
  }
}

}  // namespace vttest
