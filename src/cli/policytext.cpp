#include "policytext.h"

#include <windows.h>
// wincrypt.h needs windows.h first.
#include <wincrypt.h>

#include "ownedtext.h"
#include "widetext.h"

namespace {

// text in UTF-8 with what XML gives a meaning escaped; tab and line ends as references, since a
// parser turns them into blanks in an attribute otherwise.
std::string Attribute(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    switch (c) {
      case L'&': escaped += L"&amp;"; break;
      case L'<': escaped += L"&lt;"; break;
      case L'>': escaped += L"&gt;"; break;
      case L'"': escaped += L"&quot;"; break;
      case L'\t': escaped += L"&#x9;"; break;
      case L'\n': escaped += L"&#xA;"; break;
      case L'\r': escaped += L"&#xD;"; break;
      default: escaped += c;
    }
  }
  const VtOwnedText utf8(Narrow(escaped.c_str(), CP_UTF8));
  return utf8 ? utf8.get() : "";
}

}  // namespace

bool XmlHolds(const std::wstring& text) {
  for (wchar_t c : text)
    if (c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r') return false;
  return true;
}

std::string PolicyXml(const std::vector<VtPolicyAssociation>& associations,
                      const std::wstring& appName, int version, bool suggested) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DefaultAssociations";
  if (version > 0) xml += " Version=\"" + std::to_string(version) + "\"";
  xml += ">\r\n";
  const std::string app = Attribute(appName);
  for (const VtPolicyAssociation& association : associations) {
    xml += "  <Association Identifier=\"" + Attribute(association.identifier) + "\" ProgId=\"" +
           Attribute(association.progId) + "\" ApplicationName=\"" + app + "\"";
    if (suggested) xml += " Suggested=\"true\"";
    xml += " />\r\n";
  }
  return xml + "</DefaultAssociations>\r\n";
}

std::string Base64(const std::string& bytes) {
  if (bytes.empty()) return std::string();
  const BYTE* data = reinterpret_cast<const BYTE*>(bytes.data());
  const DWORD length = static_cast<DWORD>(bytes.size());
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  DWORD size = 0;  // first the room the text needs, its terminator included
  if (!CryptBinaryToStringA(data, length, flags, nullptr, &size) || size == 0) return std::string();
  std::string text(size, '\0');
  // On success size is the text's length without the terminator.
  if (!CryptBinaryToStringA(data, length, flags, &text[0], &size)) return std::string();
  text.resize(size);
  return text;
}
