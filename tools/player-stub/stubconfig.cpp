#include "stubconfig.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "handle.h"

namespace {

bool ParseCount(const char* text, unsigned long* value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  *value = std::strtoul(text, &end, 10);
  return *end == 0;
}

// The whole file as it is, zero bytes included; false when it cannot be read.
bool ReadWholeFile(const char* path, std::string* bytes) {
  VtHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  const DWORD size = GetFileSize(file.get(), nullptr);
  bool ok = size != INVALID_FILE_SIZE;
  if (ok) {
    bytes->assign(size, '\0');
    DWORD got = 0;
    ok = size == 0 || (ReadFile(file.get(), &(*bytes)[0], size, &got, nullptr) && got == size);
  }
  return ok;
}

// This program's own path, as the player answers "ExeName"; empty when it does not fit.
std::string OwnPath() {
  char path[1024];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length < sizeof path ? length : 0);
}

// The answer to "SupportExt" that --ext-count asks for is generated once every option is read, so
// that --ext-prefix may stand before or after it.
struct ExtensionList {
  long generateCount = -1;  // -1: none asked for
  std::string prefix = "x";
};

// An answer to "SupportExt" given outright replaces a list asked for before it.
void SetSupportExt(StubConfig* config, ExtensionList* list, const StubAnswer& answer) {
  config->supportExt = answer;
  list->generateCount = -1;
}

// Applies an option that takes the next argument as its value. False when option is none of them,
// or its value is missing or malformed, or names a file that cannot be read.
bool ApplyValueOption(const char* option, const char* value, StubConfig* config,
                      ExtensionList* list) {
  if (value == nullptr) return false;
  unsigned long number = 0;
  if (std::strcmp(option, "--exe-name") == 0) {
    config->exeName = {true, value};
  } else if (std::strcmp(option, "--support-ext") == 0) {
    SetSupportExt(config, list, {true, value});
  } else if (std::strcmp(option, "--support-ext-file") == 0) {
    std::string bytes;
    if (!ReadWholeFile(value, &bytes)) return false;
    SetSupportExt(config, list, {true, bytes});
  } else if (std::strcmp(option, "--ext-count") == 0 && ParseCount(value, &number)) {
    list->generateCount = static_cast<long>(number);
  } else if (std::strcmp(option, "--ext-prefix") == 0) {
    list->prefix = value;
  } else if (std::strcmp(option, "--delay") == 0 && ParseCount(value, &number)) {
    config->delayMs = number;
  } else if (std::strcmp(option, "--delay-item") == 0) {
    config->delayItem = value;
  } else if (std::strcmp(option, "--lifetime") == 0 && ParseCount(value, &number)) {
    config->lifetimeMs = number;
  } else {
    return false;
  }
  return true;
}

// Applies an option that stands alone; false when option is none of them.
bool ApplyFlag(const char* option, StubConfig* config, ExtensionList* list) {
  if (std::strcmp(option, "--exe-name-empty") == 0) {
    config->exeName = {true, ""};
  } else if (std::strcmp(option, "--no-exe-name") == 0) {
    config->exeName = {false, ""};
  } else if (std::strcmp(option, "--support-ext-empty") == 0) {
    SetSupportExt(config, list, {true, ""});
  } else if (std::strcmp(option, "--no-support-ext") == 0) {
    SetSupportExt(config, list, {false, ""});
  } else if (std::strcmp(option, "--no-terminator") == 0) {
    config->sendTerminator = false;
  } else if (std::strcmp(option, "--no-mutex") == 0) {
    config->createMutex = false;
  } else if (std::strcmp(option, "--no-window-class") == 0) {
    config->playerWindowClass = false;
  } else {
    return false;
  }
  return true;
}

}  // namespace

StubConfig DefaultStubConfig() {
  StubConfig config;
  config.exeName = {true, OwnPath()};
  config.supportExt = {true, ".mp3;.wav;.mid;.midi;.rmi;.ogg;.wma;.m4a;.aac;.flac;.mod;.xm;.s3m;.it"};
  config.sendTerminator = true;
  config.delayMs = 0;
  config.createMutex = true;
  config.playerWindowClass = true;
  config.lifetimeMs = 0;
  return config;
}

bool ParseStubOptions(int argc, char** argv, StubConfig* config) {
  ExtensionList list;
  for (int i = 1; i < argc; ++i) {
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (ApplyValueOption(argv[i], value, config, &list)) {
      ++i;
    } else if (!ApplyFlag(argv[i], config, &list)) {
      return false;
    }
  }
  if (list.generateCount >= 0) {
    const int count = static_cast<int>(list.generateCount);
    config->supportExt = {true, GeneratedExtensions(count, list.prefix)};
  }
  return true;
}

std::string GeneratedExtensions(int count, const std::string& prefix) {
  std::string list;
  char number[16];
  for (int n = 1; n <= count; ++n) {
    std::snprintf(number, sizeof number, "%d", n);
    if (n > 1) list += ';';
    list += '.';
    list += prefix;
    list += number;
  }
  return list;
}
