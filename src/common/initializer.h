// Starts the support library for the object's lifetime: the window holds one as its first member
// after the layout, so the library is up before it reads options and until after its list is freed;
// the command line holds one for the whole run.
#pragma once

class Initializer {
 public:
  Initializer();
  ~Initializer();
  Initializer(const Initializer&) = delete;
  Initializer& operator=(const Initializer&) = delete;
};
