// settings_recorder: stands in for the handler of the ms-settings: protocol, which Wine lacks.
// Registered as that protocol's open command with "%1" as its last argument, it writes the URI it
// receives to settings.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  std::string path(module, length);
  path = path.substr(0, path.find_last_of('\\') + 1) + "settings.txt";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 1;
  std::fwrite(argv[argc - 1], 1, std::strlen(argv[argc - 1]), file);
  return std::fclose(file) == 0 ? 0 : 1;
}
