// Saving goes through a temporary file beside the target, so a failed or interrupted write never
// costs the sections of the old file: the target is replaced only by a complete document.
#include <string>

#include "inifile.h"
#include "ownedtext.h"
#include "wholefile.h"
#include "widetext.h"

namespace {

// Builds the document and ends each line with CR LF. Names and values go out byte for byte: a CR
// or LF in them can only be the second byte of a double-byte character, and turning that LF into
// CR LF would change the text that the next load reads.
class IniWriter {
 public:
  void Put(const char* text) { document_ += text; }
  void EndLine() { document_ += "\r\n"; }
  const std::string& document() const { return document_; }

 private:
  std::string document_;
};

}  // namespace

void VtIniFile::Save() {
  if (path_[0] == '\0') return;
  IniWriter out;
  for (int i = 0; const VtIniSection* section = SectionAt(i); ++i) {
    out.Put("[");
    out.Put(section->name());
    out.Put("]");
    out.EndLine();
    for (int k = 0; const VtIniKeyValue* entry = section->EntryAt(k); ++k) {
      out.Put(entry->key());
      out.Put("=");
      out.Put(entry->value());
      out.EndLine();
    }
  }
  // Whole or not at all: a read-only target, a folder in the way or a locked one keeps the old file.
  const VtOwnedWide path(Widen(path_));
  if (path)
    WriteWholeFile(path.get(), out.document().data(), static_cast<DWORD>(out.document().size()));
}
