#include "changefailure.h"

#include <string>

#include "associnfo.h"
#include "assoctexts.h"
#include "extensionrule.h"
#include "uitext.h"

namespace {

// The tool's own reasons, which the system has no text for.
struct OwnReason {
  DWORD error;
  UINT text;
};
const OwnReason kOwnReasons[] = {
    {kErrorMachineAssociation, IDS_REASON_MACHINE},
    {kErrorNotAnExtension, IDS_REASON_NOT_EXTENSION},
    {kErrorExtensionTooLong, IDS_REASON_TOO_LONG},
    {kErrorProgramType, IDS_REASON_PROGRAM_TYPE},
};

// Frees what FormatMessage allocated.
struct LocalText {
  wchar_t* text = nullptr;
  ~LocalText() {
    if (text != nullptr) LocalFree(text);
  }
};

}  // namespace

std::wstring ChangeFailureHeading() { return VtText(IDS_FAILURE_HEADING); }

std::wstring ChangeFailureReason(DWORD error) {
  for (const OwnReason& reason : kOwnReasons)
    if (reason.error == error) return VtText(reason.text);
  LocalText message;
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  if (FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&message.text), 0,
                     nullptr) != 0 &&
      message.text != nullptr) {
    // The system's texts end with a line end, which a list of reasons does not want.
    std::wstring text = message.text;
    for (wchar_t& c : text)
      if (c < L' ') c = L' ';
    const size_t end = text.find_last_not_of(L' ');
    if (end != std::wstring::npos) return text.substr(0, end + 1);
  }
  return VtText(IDS_ERROR_NUMBER) + std::to_wstring(static_cast<unsigned long>(error));
}

std::wstring ChangeFailureLine(const std::wstring& shown, DWORD error) {
  return shown + L": " + ChangeFailureReason(error);
}
