#include "changefailure.h"

#include <cstdio>

#include "associnfo.h"
#include "extensionrule.h"
#include "ownedtext.h"
#include "text.h"

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
  char* text = nullptr;
  ~LocalText() {
    if (text != nullptr) LocalFree(text);
  }
};

}  // namespace

const char kChangeFailureHeading[] = "次の拡張子は変更できませんでした。";

char* ChangeFailureText(DWORD error) {
  for (const OwnReason& reason : kOwnReasons)
    if (reason.error == error) return DupText(reason.text);
  LocalText message;
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  if (FormatMessageA(flags, nullptr, error, 0, reinterpret_cast<char*>(&message.text), 0,
                     nullptr) != 0 &&
      message.text != nullptr) {
    // The system's texts end with a line end, which a list of reasons does not want.
    TrimRight(ControlsToSpaces(message.text));
    if (message.text[0] != 0) return DupText(message.text);
  }
  char code[32];
  std::snprintf(code, sizeof code, "エラー %lu", static_cast<unsigned long>(error));
  return DupText(code);
}

std::string ChangeFailureLine(const char* shown, DWORD error) {
  const VtOwnedText reason(ChangeFailureText(error));
  return std::string(shown) + ": " + (reason ? reason.get() : "");
}
