#include "vtdde.h"

#include "text.h"

namespace {

HDDEDATA CALLBACK AnswerNothing(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

}  // namespace

VtDDE::VtDDE(PFNCALLBACK callback, const char* topic, const char* service)
    : instance_(0), service_(nullptr), topic_(nullptr) {
  char topicName[kNameSize];
  char serviceName[kNameSize];
  CopyBounded(topicName, topic, kNameSize);
  CopyBounded(serviceName, service, kNameSize);
  DWORD id = 0;
  if (DdeInitializeA(&id, callback != nullptr ? callback : AnswerNothing, 0, 0) != DMLERR_NO_ERROR) {
    return;
  }
  instance_ = id;
  service_ = DdeCreateStringHandleA(instance_, serviceName, CP_WINANSI);
  topic_ = DdeCreateStringHandleA(instance_, topicName, CP_WINANSI);
  // The instance records a failure of either handle; the last-error read also clears it.
  if (DdeGetLastError(instance_) != DMLERR_NO_ERROR) Free();
}

VtDDE::~VtDDE() { Free(); }

void VtDDE::Free() {
  if (instance_ == 0) return;
  if (service_ != nullptr) DdeFreeStringHandle(instance_, service_);
  if (topic_ != nullptr) DdeFreeStringHandle(instance_, topic_);
  DdeUninitialize(instance_);
  instance_ = 0;
  service_ = nullptr;
  topic_ = nullptr;
}
