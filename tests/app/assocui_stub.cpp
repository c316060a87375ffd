// assocui_stub.dll: stands in for Windows' application association UI (Vista to 8.1), which Wine
// lacks, as an in-process COM server. Registered for CLSID_ApplicationAssociationRegistrationUI,
// its LaunchAdvancedAssociationUI writes the name it receives, in UTF-8, to assocui.txt beside the
// DLL.
#include <windows.h>
// shobjidl.h needs windows.h first.
#include <shobjidl.h>

#include <cstdio>
#include <string>

namespace {

HMODULE module = nullptr;
LONG liveObjects = 0;

void Record(const wchar_t* name) {
  char dll[MAX_PATH];
  const DWORD length = GetModuleFileNameA(module, dll, sizeof dll);
  std::string path(dll, length);
  path = path.substr(0, path.find_last_of('\\') + 1) + "assocui.txt";
  char utf8[1024] = "";
  if (name != nullptr)
    WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fputs(utf8, file);
  std::fclose(file);
}

// One COM object: its reference count and IUnknown for the single interface I besides IUnknown.
template <class I>
class Object : public I {
 public:
  Object() { InterlockedIncrement(&liveObjects); }
  virtual ~Object() { InterlockedDecrement(&liveObjects); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, __uuidof(IUnknown)) && !IsEqualIID(iid, __uuidof(I))) return E_NOINTERFACE;
    *out = static_cast<I*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 private:
  LONG refs_ = 1;
};

class AssocUi : public Object<IApplicationAssociationRegistrationUI> {
 public:
  HRESULT STDMETHODCALLTYPE LaunchAdvancedAssociationUI(LPCWSTR name) override {
    Record(name);
    return S_OK;
  }
};

class Factory : public Object<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    AssocUi* ui = new AssocUi();
    const HRESULT result = ui->QueryInterface(iid, out);
    ui->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetClassObject(REFCLSID, REFIID iid, void** out) {
  Factory* factory = new Factory();
  const HRESULT result = factory->QueryInterface(iid, out);
  factory->Release();
  return result;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
  return liveObjects == 0 ? S_OK : S_FALSE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) module = instance;
  return TRUE;
}
