// The registry writes of this executable (the tool's statically linked code and the test's alike)
// seen one by one through its import table, so that a change can be stopped or paused at its k-th
// write: the place a kill, or another change, would hit it. Writes made inside system DLLs (such
// as a child process's) are not seen.
#pragma once
#include <functional>

namespace vttest {

// While one lives, the writes of the thread that made it are counted: from the at-th on, each
// fails with ERROR_ACCESS_DENIED and changes nothing (kStop), or before the at-th, once, atWrite
// runs and then the write goes on (kPause). Other threads' writes pass untouched. One at a time.
class RegWriteGate {
 public:
  enum class Mode { kStop, kPause };
  RegWriteGate(int at, Mode mode, std::function<void()> atWrite = nullptr);
  ~RegWriteGate();  // puts the import entries back
  RegWriteGate(const RegWriteGate&) = delete;
  RegWriteGate& operator=(const RegWriteGate&) = delete;

  // The writes the thread tried so far, the refused ones included.
  int writes() const;
  // True once the at-th write came.
  bool reached() const { return writes() >= at_; }

 private:
  int at_;
};

}  // namespace vttest
