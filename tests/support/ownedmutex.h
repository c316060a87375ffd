// Named mutexes made as another process of the tool, or another account, would make them: the
// change lock weighs who owns one before it waits on it.
#pragma once
#include <windows.h>

#include <string>

namespace vttest {

// A mutex named name, owned by owner (SDDL: "S-1-5-...", "SY", "BA"; Wine takes any owner), open
// to everyone, held by this thread when take; null when it cannot be made.
HANDLE CreateMutexOwnedBy(const std::string& name, const std::string& owner, bool take);

}  // namespace vttest
