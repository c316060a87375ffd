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
  // --ext-count is generated at the end, so that --ext-prefix may stand before or after it.
  long generateCount = -1;
  std::string prefix = "x";
  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    unsigned long number = 0;
    bool takesValue = true;
    if (std::strcmp(option, "--exe-name") == 0 && value != nullptr) {
      config->exeName = {true, value};
    } else if (std::strcmp(option, "--support-ext") == 0 && value != nullptr) {
      config->supportExt = {true, value};
      generateCount = -1;
    } else if (std::strcmp(option, "--support-ext-file") == 0 && value != nullptr) {
      std::string bytes;
      if (!ReadWholeFile(value, &bytes)) return false;
      config->supportExt = {true, bytes};
      generateCount = -1;
    } else if (std::strcmp(option, "--ext-count") == 0 && ParseCount(value, &number)) {
      generateCount = static_cast<long>(number);
    } else if (std::strcmp(option, "--ext-prefix") == 0 && value != nullptr) {
      prefix = value;
    } else if (std::strcmp(option, "--delay") == 0 && ParseCount(value, &number)) {
      config->delayMs = number;
    } else if (std::strcmp(option, "--delay-item") == 0 && value != nullptr) {
      config->delayItem = value;
    } else if (std::strcmp(option, "--lifetime") == 0 && ParseCount(value, &number)) {
      config->lifetimeMs = number;
    } else {
      takesValue = false;
      if (std::strcmp(option, "--exe-name-empty") == 0) {
        config->exeName = {true, ""};
      } else if (std::strcmp(option, "--no-exe-name") == 0) {
        config->exeName = {false, ""};
      } else if (std::strcmp(option, "--support-ext-empty") == 0) {
        config->supportExt = {true, ""};
        generateCount = -1;
      } else if (std::strcmp(option, "--no-support-ext") == 0) {
        config->supportExt = {false, ""};
        generateCount = -1;
      } else if (std::strcmp(option, "--no-terminator") == 0) {
        config->sendTerminator = false;
      } else if (std::strcmp(option, "--no-mutex") == 0) {
        config->createMutex = false;
      } else if (std::strcmp(option, "--no-window-class") == 0) {
        config->playerWindowClass = false;
      } else {
        return false;
      }
    }
    if (takesValue) ++i;
  }
  if (generateCount >= 0)
    config->supportExt = {true, GeneratedExtensions(static_cast<int>(generateCount), prefix)};
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
