#include "policytext.h"

#include <windows.h>

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
  // Written here rather than taken from crypt32, which is not among the libraries Windows loads
  // from its own folder alone (systemlibrary.h).
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t at = 0; at < bytes.size(); at += 3) {
    const size_t left = bytes.size() - at;
    unsigned long group = static_cast<unsigned char>(bytes[at]) << 16;
    if (left > 1) group |= static_cast<unsigned char>(bytes[at + 1]) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[at + 2]);
    text += kDigits[(group >> 18) & 63];
    text += kDigits[(group >> 12) & 63];
    text += left > 1 ? kDigits[(group >> 6) & 63] : '=';
    text += left > 2 ? kDigits[group & 63] : '=';
  }
  return text;
}
