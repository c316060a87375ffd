#include "message_box_stub.h"

#include <utility>

#include "ownedtext.h"
#include "widetext.h"

namespace {

std::string OwnBytes(const std::wstring& text) {
  const VtOwnedText bytes(Narrow(text.c_str(), kOwnTextCodePage));
  return bytes ? bytes.get() : "";
}

}  // namespace

TMessageBoxStub::TMessageBoxStub(int answer) : answer_(answer) {
  previous_ =
      Application.SetMessageBoxHook([this](const char* text, const char* caption, UINT flags) {
        return Answer(Call{text, caption, flags, OwnText(text), OwnText(caption)});
      });
  previousWide_ = Application.SetWideMessageBoxHook(
      [this](const std::wstring& text, const std::wstring& caption, UINT flags) {
        return Answer(Call{OwnBytes(text), OwnBytes(caption), flags, text, caption});
      });
}

TMessageBoxStub::~TMessageBoxStub() {
  Application.SetWideMessageBoxHook(previousWide_);
  Application.SetMessageBoxHook(previous_);
}

int TMessageBoxStub::Answer(Call call) {
  calls_.push_back(std::move(call));
  if (queued_.empty()) return answer_;
  int answer = queued_.front();
  queued_.pop_front();
  return answer;
}
