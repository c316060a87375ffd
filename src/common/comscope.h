// COM on the calling thread for as long as one object lives.
#pragma once
#include <windows.h>
// objbase.h needs windows.h first.
#include <objbase.h>

// Uninitialises only when its own call succeeded (S_FALSE counts: the call was matched), never
// after RPC_E_CHANGED_MODE. The caller links ole32.
class VtComScope {
 public:
  VtComScope()
      : started_(SUCCEEDED(
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ~VtComScope() {
    if (started_) CoUninitialize();
  }
  VtComScope(const VtComScope&) = delete;
  VtComScope& operator=(const VtComScope&) = delete;

 private:
  bool started_;
};
