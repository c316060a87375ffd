#include "message_box_stub.h"

TMessageBoxStub::TMessageBoxStub(int answer) : answer_(answer) {
  previous_ = Application.SetMessageBoxHook(
      [this](const char* text, const char* caption, UINT flags) { return Answer(text, caption, flags); });
}

TMessageBoxStub::~TMessageBoxStub() { Application.SetMessageBoxHook(previous_); }

int TMessageBoxStub::Answer(const char* text, const char* caption, UINT flags) {
  calls_.push_back(Call{text, caption, flags});
  if (queued_.empty()) return answer_;
  int answer = queued_.front();
  queued_.pop_front();
  return answer;
}
