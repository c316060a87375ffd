// Starts the support library for as long as the window lives: its first member after the layout,
// so the library is up before the window reads options and stays up until after the list is freed.
#pragma once

class Initializer {
 public:
  Initializer();
  ~Initializer();
  Initializer(const Initializer&) = delete;
  Initializer& operator=(const Initializer&) = delete;
};
