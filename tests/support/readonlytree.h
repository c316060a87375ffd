// A registry tree that grants reading only, as Windows grants a user without administrator rights
// the machine's keys. Wine runs every process as an administrator but checks a key's DACL when the
// key is opened, so this stands in for such a user. (Wine does not check the parent's rights when
// a key is created: a test of "untouched" compares the keys themselves.)
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vttest {

class ReadOnlyTree {
 public:
  // Gives path beneath root, and every key below it in both registry views, a DACL that lets
  // everyone read and nobody change; ok() tells whether every key took it.
  ReadOnlyTree(HKEY root, const std::string& path);
  // Puts every key's DACL back; a key made meanwhile gets full access for everyone.
  ~ReadOnlyTree();
  ReadOnlyTree(const ReadOnlyTree&) = delete;
  ReadOnlyTree& operator=(const ReadOnlyTree&) = delete;

  bool ok() const { return failed_.empty(); }
  // The keys that could not be locked, for a test's message.
  const std::vector<std::string>& failed() const { return failed_; }

 private:
  void Lock(const std::string& path);
  // Gives full access to every key below path that Lock did not meet.
  void OpenNew(const std::string& path);

  HKEY root_;
  std::string path_;
  std::vector<std::string> failed_;
  // Each key's DACL as Lock found it, in the order it was found. A key reached twice (through a
  // registry link such as Wow6432Node\Classes) was read-only the second time, so the DACLs are
  // put back in reverse order: the one found first is put back last.
  std::vector<std::pair<std::string, std::vector<BYTE>>> saved_;
  std::set<std::string> met_;
};

}  // namespace vttest
