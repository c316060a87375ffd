#include "window_fixture.h"

#include <commctrl.h>

#include "process.h"

namespace {

const int kExtensions = 4;

}  // namespace

void WindowTest::SetUp() {
  for (int i = 0; i < kExtensions; ++i) exts_.push_back("." + vttest::UniqueName("vtw"));
  const std::string path = vttest::ProgramPath();
  folder_ = path.substr(0, path.find_last_of('\\') + 1);
  options_ = path.substr(0, path.find_last_of('.')) + ".ini";
  player_ = scratch_.File("vantrel.exe");
  ASSERT_TRUE(vttest::WriteFileBytes(player_, "MZ"));
  DeleteFileA(OptionsPath().c_str());
}

void WindowTest::TearDown() {
  Close();
  stub_.Close();
  for (int i = 0; i < kExtensions; ++i) {
    vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, Ext(i));
    vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, ToolProgId(i));
    vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, OtherProgId(i));
    for (const std::string& key : {Ext(i), ToolProgId(i), OtherProgId(i)})
      vttest::DeleteKeyTree(HKEY_CURRENT_USER, UserClass(key));
    vttest::RemoveDefaultApp(Ext(i));
  }
  // Every list has the playlist rows, which a test may have registered with the rest.
  for (const char* ext : {".vnt", ".m3u"}) vttest::RemoveDefaultApp(ext);
  DeleteFileA(OptionsPath().c_str());
  DeleteFileA(Beside("filetype.ini").c_str());
}

void WindowTest::StartPlayer(const std::string& exts, const std::string& moreOptions) {
  ASSERT_TRUE(stub_.StartAt(player_, "--support-ext \"" + exts + "\" " + moreOptions));
}

std::string WindowTest::Caption(int i) const {
  std::string caption = Ext(i).substr(1);
  for (char& c : caption) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return caption;
}

void WindowTest::SeedOther(int i, const std::string& typeName) {
  const std::string progId = OtherProgId(i);
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, Ext(i), "", progId));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, progId, "", typeName));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, progId + "\\DefaultIcon", "", "other.exe,2"));
  ASSERT_TRUE(
      vttest::SetString(HKEY_CLASSES_ROOT, progId + "\\shell\\open\\command", "", "other.exe %1"));
}

std::string WindowTest::Classes(const std::string& key, const char* name) const {
  std::string value;
  return vttest::GetString(HKEY_CLASSES_ROOT, key, name, &value) ? value : "(missing)";
}

void WindowTest::Select(int row, bool selected) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  SendMessageA(form_->ListView->Handle(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// Characters typed over the whole text of the combo box's edit field, as the keyboard delivers
// them.
void WindowTest::Type(const char* text) {
  HWND edit = FindWindowExA(form_->ComboBox1->Handle(), nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  for (const char* p = text; *p != 0; ++p)
    SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*p), 0);
}

std::vector<std::string> WindowTest::Column(int column) const {
  std::vector<std::string> texts;
  for (int i = 0; i < form_->ListView->Count(); ++i)
    texts.push_back(form_->ListView->ItemText(i, column));
  return texts;
}
