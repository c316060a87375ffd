// A registry tree that grants reading only, as Windows grants a user without administrator rights
// the machine's keys. Wine runs every process as an administrator but checks a key's DACL when the
// key is opened, so this stands in for such a user. (Wine does not check the parent's rights when
// a key is created: a test of "untouched" compares the keys themselves.)
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vttest {

class ReadOnlyTree {
 public:
  // Gives path beneath root, and every key below it in both registry views, a DACL that lets
  // everyone read and nobody change; ok() tells whether every key took it.
  ReadOnlyTree(HKEY root, const std::string& path);
  // Gives every key beneath path, those made meanwhile too, full access for everyone.
  ~ReadOnlyTree();
  ReadOnlyTree(const ReadOnlyTree&) = delete;
  ReadOnlyTree& operator=(const ReadOnlyTree&) = delete;

  bool ok() const { return failed_.empty(); }
  // The keys that could not be locked, for a test's message.
  const std::vector<std::string>& failed() const { return failed_; }

 private:
  void Lock(const std::string& path);
  void Unlock(const std::string& path);

  HKEY root_;
  std::string path_;
  std::vector<std::string> failed_;
};

}  // namespace vttest
