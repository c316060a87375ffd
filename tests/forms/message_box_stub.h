// For tests: answers the application's message boxes with set answers and records every call.
// Installed by the constructor, the previous hook is restored by the destructor.
#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "application.h"

class TMessageBoxStub {
 public:
  // A box is recorded both ways, whichever way it was asked: text and caption in code page 932
  // (the Japanese texts' own bytes), wideText and wideCaption as UTF-16.
  struct Call {
    std::string text;
    std::string caption;
    UINT flags;
    std::wstring wideText;
    std::wstring wideCaption;
  };

  explicit TMessageBoxStub(int answer = IDOK);
  ~TMessageBoxStub();
  TMessageBoxStub(const TMessageBoxStub&) = delete;
  TMessageBoxStub& operator=(const TMessageBoxStub&) = delete;

  // The answer once the queued ones are used up.
  void SetAnswer(int answer) { answer_ = answer; }
  // Answers for the next calls, in order.
  void QueueAnswer(int answer) { queued_.push_back(answer); }

  const std::vector<Call>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 private:
  int Answer(Call call);

  int answer_;
  std::deque<int> queued_;
  std::vector<Call> calls_;
  TMessageBoxHook previous_;
  TWideMessageBoxHook previousWide_;
};
