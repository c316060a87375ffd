#include "changefailure.h"

#include <string>

#include "associnfo.h"
#include "assoctexts.h"
#include "extensionrule.h"
#include "localmemory.h"
#include "playerrepair.h"
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
    {kErrorNoDefaultApp, IDS_REASON_NO_DEFAULT_APP},
    {kErrorNoOpenWith, IDS_REASON_NO_OPEN_WITH},
    {kErrorOfferedNowhere, IDS_REASON_OFFERED_NOWHERE},
    {kErrorUserChoiceKept, IDS_REASON_USER_CHOICE},
    {kErrorHandEdited, IDS_REASON_HAND_EDITED},
};

}  // namespace

std::wstring ChangeFailureHeading() { return VtText(IDS_FAILURE_HEADING); }

std::wstring ChangeFailureReason(DWORD error) {
  for (const OwnReason& reason : kOwnReasons)
    if (reason.error == error) return VtText(reason.text);
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  wchar_t* allocated = nullptr;
  const DWORD length =
      FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&allocated), 0, nullptr);
  const VtLocal<wchar_t> message(allocated);
  if (length != 0 && message) {
    // The system's texts end with a line end, which a list of reasons does not want.
    std::wstring text = message.get();
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
