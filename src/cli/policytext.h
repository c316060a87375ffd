// The default associations configuration file that Windows applies at each user's logon: its XML
// text, and that text in base64 for a setting that takes the file's text so.
#pragma once
#include <string>
#include <vector>

struct VtPolicyAssociation {
  std::wstring identifier;  // the extension with its "." in small letters
  std::wstring progId;
};

// True when text can stand in an XML 1.0 attribute: no control character but tab and line ends.
bool XmlHolds(const std::wstring& text);
// The file in UTF-8 with CRLF line ends: the declaration, the root with Version (0: none) and one
// Association each, in their order, naming appName; Suggested="true" on each with suggested.
// Every text is one XmlHolds accepts.
std::string PolicyXml(const std::vector<VtPolicyAssociation>& associations,
                      const std::wstring& appName, int version, bool suggested);
// bytes in base64 (RFC 4648, with padding) on one line, without a line end; the empty text for
// no bytes and when the system cannot encode them (out of memory).
std::string Base64(const std::string& bytes);
