#include "changefailure.h"

#include <string>

#include "associnfo.h"
#include "extensionrule.h"
#include "ownedtext.h"
#include "text.h"
#include "widetext.h"

namespace {

// The tool's own reasons, which the system has no text for.
struct OwnReason {
  DWORD error;
  const char* text;
};
const OwnReason kOwnReasons[] = {
    {kErrorMachineAssociation,
     "すべてのユーザーの関連付けです。管理者として実行して解除してください。"},
    {kErrorNotAnExtension,
     "拡張子として使えない名前です (「.」の後ろに「.」・空白・制御文字・\\ / : * ? \" < > | "
     "は使えません)。"},
    {kErrorExtensionTooLong, "拡張子が長すぎます (「.」を含めて 248 バイトまでです)。"},
    {kErrorProgramType, "プログラムやショートカットを開く種類なので、関連付けしません。"},
};

// Frees what FormatMessage allocated.
struct LocalText {
  wchar_t* text = nullptr;
  ~LocalText() {
    if (text != nullptr) LocalFree(text);
  }
};

}  // namespace

const char kChangeFailureHeading[] = "次の拡張子は変更できませんでした。";

std::wstring ChangeFailureReason(DWORD error) {
  for (const OwnReason& reason : kOwnReasons)
    if (reason.error == error) return OwnText(reason.text);
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
  return OwnText("エラー ") + std::to_wstring(static_cast<unsigned long>(error));
}

char* ChangeFailureText(DWORD error) {
  return Narrow(ChangeFailureReason(error).c_str(), CP_ACP);
}

std::string ChangeFailureLine(const char* shown, DWORD error) {
  const VtOwnedText reason(ChangeFailureText(error));
  return std::string(shown) + ": " + (reason ? reason.get() : "");
}

std::wstring ChangeFailureLine(const std::wstring& shown, DWORD error) {
  return shown + L": " + ChangeFailureReason(error);
}
