// Serves the player's DDE items with raw DDE messages on one window. Not DDEML: Wine's DDEML server
// posts a stray ACK after each answer, which spoils a client's next request on the conversation.
#pragma once
#include <windows.h>
#include <vector>

#include "stubconfig.h"

class RawDdeServer {
 public:
  explicit RawDdeServer(const StubConfig& config);
  ~RawDdeServer();
  RawDdeServer(const RawDdeServer&) = delete;
  RawDdeServer& operator=(const RawDdeServer&) = delete;

  // Handles WM_DDE_* messages and the timers of delayed answers. False for any other message.
  bool Handle(HWND self, UINT message, WPARAM wParam, LPARAM lParam);

  // Timer ids from this value up belong to delayed answers.
  enum { kFirstTimerId = 100 };

 private:
  struct Pending {
    UINT_PTR timerId;
    HWND client;
    UINT format;
    ATOM item;
  };

  void OnInitiate(HWND self, HWND client, LPARAM lParam);
  void OnRequest(HWND self, HWND client, LPARAM lParam);
  void OnTerminate(HWND self, HWND client);
  void OnTimer(HWND self, UINT_PTR timerId);
  void Answer(HWND self, HWND client, UINT format, ATOM item);
  const StubAnswer* AnswerFor(ATOM item) const;
  bool IsDelayed(ATOM item) const;

  const StubConfig& config_;
  std::vector<Pending> pending_;
  UINT_PTR nextTimerId_;
};
