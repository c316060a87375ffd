#include "handleropen.h"

// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cstring>
#include <string>

#include "handle.h"
#include "text.h"

namespace {

const char kMachineClasses[] = "Software\\Classes\\";

// The scheme of a URI ("ms-settings" of "ms-settings:defaultapps"), empty for anything else: a
// scheme is a letter followed by letters, digits, '+', '-' or '.', and longer than a drive's.
std::string SchemeOf(const char* target) {
  const char* colon = std::strchr(target, ':');
  if (colon == nullptr || colon - target < 2 || !IsCharAlphaA(target[0])) return std::string();
  for (const char* c = target; c != colon; ++c) {
    const unsigned char byte = static_cast<unsigned char>(*c);
    if (byte >= 0x80 || !(IsCharAlphaNumericA(*c) || *c == '+' || *c == '-' || *c == '.'))
      return std::string();
  }
  return std::string(target, colon);
}

}  // namespace

bool ProcessIsElevated() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  const VtHandle token(opened);
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

bool OpenMachineHandlerClass(const char* target, VtRegistry* classKey) {
  std::string name = SchemeOf(target);
  if (name.empty()) {
    const char* dot = FindLastChar(target, '.');
    const char* slash = FindLastChar(target, '\\');
    if (dot == nullptr || (slash != nullptr && slash > dot)) return false;
    VtRegistry extension;
    if (!extension.Open(HKEY_LOCAL_MACHINE, (kMachineClasses + std::string(dot)).c_str(),
                        KEY_READ))
      return false;
    const std::string progId = extension.ReadString("");
    if (!progId.empty() &&
        classKey->Open(HKEY_LOCAL_MACHINE, (kMachineClasses + progId).c_str(), KEY_READ))
      return true;
    name = dot;
  }
  return classKey->Open(HKEY_LOCAL_MACHINE, (kMachineClasses + name).c_str(), KEY_READ);
}

bool OpenWithHandler(HWND owner, const char* target) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpVerb = "open";
  info.lpFile = target;
  info.nShow = SW_SHOWNORMAL;
  VtRegistry classKey;
  if (ProcessIsElevated()) {
    if (!OpenMachineHandlerClass(target, &classKey)) return false;
    info.fMask |= SEE_MASK_CLASSKEY;
    info.hkeyClass = classKey.key();
  }
  return ShellExecuteExA(&info) != FALSE;
}
