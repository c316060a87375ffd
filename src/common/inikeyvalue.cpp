#include <cstdlib>
#include <cstring>

#include "inifile.h"

VtIniKeyValue::VtIniKeyValue(const char* key, const char* value) : key_(nullptr), value_(nullptr) {
  const size_t keySize = std::strlen(key) + 1;
  const size_t valueSize = std::strlen(value) + 1;
  // Out of memory leaves key() null; the section drops such an entry.
  key_ = static_cast<char*>(std::malloc(keySize + valueSize));
  if (key_ == nullptr) return;
  std::memcpy(key_, key, keySize);
  value_ = key_ + keySize;
  std::memcpy(value_, value, valueSize);
}

VtIniKeyValue::~VtIniKeyValue() { std::free(key_); }

void VtIniKeyValue::SetValue(const char* value) {
  if (key_ == nullptr) return;
  const size_t newSize = std::strlen(value) + 1;
  if (newSize > std::strlen(value_) + 1) {
    const size_t offset = static_cast<size_t>(value_ - key_);
    char* grown = static_cast<char*>(std::realloc(key_, offset + newSize));
    if (grown == nullptr) return;  // the old value stays
    key_ = grown;
    value_ = grown + offset;
  }
  std::memmove(value_, value, newSize);
}
