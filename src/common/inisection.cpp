#include <cstdlib>
#include <cstring>
#include <new>

#include "inifile.h"
#include "inigrow.h"
#include "ownedtext.h"
#include "text.h"

VtIniSection::VtIniSection(const char* name)
    : name_(DupText(name).release()), entries_(nullptr), capacity_(0), count_(0) {}

VtIniSection::~VtIniSection() {
  for (int i = 0; i < count_; ++i) delete entries_[i];
  std::free(entries_);
  std::free(name_);
}

VtIniKeyValue* VtIniSection::FindEntry(const char* key) const {
  for (int i = 0; i < count_; ++i)
    if (CompareNoCase(entries_[i]->key(), key) == 0) return entries_[i];
  return nullptr;
}

VtIniKeyValue* VtIniSection::EntryAt(int index) const {
  return index >= 0 && index < count_ ? entries_[index] : nullptr;
}

void VtIniSection::Set(const char* key, const char* value) {
  if (VtIniKeyValue* found = FindEntry(key)) {
    found->SetValue(value);
    return;
  }
  if (!GrowForOne(entries_, capacity_, count_)) return;
  VtIniKeyValue* entry = new (std::nothrow) VtIniKeyValue(key, value);
  if (entry == nullptr || entry->key() == nullptr) {
    delete entry;
    return;
  }
  entries_[count_++] = entry;
}
