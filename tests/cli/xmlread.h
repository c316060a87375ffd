// An XML file as Windows' own parser (MSXML, through COM) reads it: what a deployment hands to
// Windows must be read there, not only look right byte for byte.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace vttest {

// One element; its name and attribute texts in code page 932, as the tests' literals are.
struct XmlElement {
  int depth;  // 0: the root
  std::string name;
  std::map<std::string, std::string> attributes;
};

// The elements of the file at path in document order, the root first. False, with *why, where
// MSXML cannot be created or the file is no well-formed XML.
bool ReadXmlElements(const std::string& path, std::vector<XmlElement>* elements, std::string* why);

}  // namespace vttest
