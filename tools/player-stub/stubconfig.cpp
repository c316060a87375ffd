#include "stubconfig.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseCount(const char* text, unsigned long* value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  *value = std::strtoul(text, &end, 10);
  return *end == 0;
}

}  // namespace

StubConfig DefaultStubConfig() {
  StubConfig config;
  config.exeName = {true, "C:\\Program Files\\Vantrel\\vantrel.exe"};
  config.supportExt = {true, ".mp3;.wav;.mid;.midi;.rmi;.ogg;.wma;.m4a;.aac;.flac;.mod;.xm;.s3m;.it"};
  config.sendTerminator = true;
  config.delayMs = 0;
  config.createMutex = true;
  config.playerWindowClass = true;
  config.lifetimeMs = 0;
  return config;
}

bool ParseStubOptions(int argc, char** argv, StubConfig* config) {
  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    unsigned long number = 0;
    bool takesValue = true;
    if (std::strcmp(option, "--exe-name") == 0 && value != nullptr) {
      config->exeName = {true, value};
    } else if (std::strcmp(option, "--support-ext") == 0 && value != nullptr) {
      config->supportExt = {true, value};
    } else if (std::strcmp(option, "--ext-count") == 0 && ParseCount(value, &number)) {
      config->supportExt = {true, GeneratedExtensions(static_cast<int>(number))};
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
      } else if (std::strcmp(option, "--no-support-ext") == 0) {
        config->supportExt = {false, ""};
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
  return true;
}

std::string GeneratedExtensions(int count) {
  std::string list;
  char piece[16];
  for (int n = 1; n <= count; ++n) {
    std::snprintf(piece, sizeof piece, "%s.x%d", n == 1 ? "" : ";", n);
    list += piece;
  }
  return list;
}
