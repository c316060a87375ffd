#include "xmlread.h"

#include <windows.h>
// msxml.h needs windows.h first.
#include <msxml.h>
#include <wrl/client.h>

#include "comscope.h"

using Microsoft::WRL::ComPtr;

namespace vttest {
namespace {

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : text_(SysAllocString(text.c_str())) {}
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* out() { return &text_; }
  BSTR get() const { return text_; }

 private:
  BSTR text_ = nullptr;
};

std::string Narrow932(BSTR text) {
  if (text == nullptr) return std::string();
  const int length = static_cast<int>(SysStringLen(text));
  const int size = WideCharToMultiByte(932, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size), '\0');
  if (size > 0) WideCharToMultiByte(932, 0, text, length, &narrow[0], size, nullptr, nullptr);
  return narrow;
}

std::wstring Widen932(const std::string& text) {
  const int size =
      MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  if (size > 0)
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
  return wide;
}

bool AddElement(IXMLDOMNode* node, int depth, std::vector<XmlElement>* elements) {
  XmlElement element{depth, {}, {}};
  Bstr name;
  if (FAILED(node->get_nodeName(name.out()))) return false;
  element.name = Narrow932(name.get());
  ComPtr<IXMLDOMNamedNodeMap> attributes;
  long count = 0;
  if (FAILED(node->get_attributes(&attributes)) || attributes == nullptr ||
      FAILED(attributes->get_length(&count)))
    return false;
  for (long i = 0; i < count; ++i) {
    ComPtr<IXMLDOMNode> attribute;
    Bstr attributeName, text;
    if (FAILED(attributes->get_item(i, &attribute)) || attribute == nullptr ||
        FAILED(attribute->get_nodeName(attributeName.out())) ||
        FAILED(attribute->get_text(text.out())))
      return false;
    element.attributes[Narrow932(attributeName.get())] = Narrow932(text.get());
  }
  elements->push_back(element);
  ComPtr<IXMLDOMNodeList> children;
  long childCount = 0;
  if (FAILED(node->get_childNodes(&children)) || FAILED(children->get_length(&childCount)))
    return false;
  for (long i = 0; i < childCount; ++i) {
    ComPtr<IXMLDOMNode> child;
    DOMNodeType type;
    if (FAILED(children->get_item(i, &child)) || FAILED(child->get_nodeType(&type))) return false;
    if (type == NODE_ELEMENT && !AddElement(child.Get(), depth + 1, elements)) return false;
  }
  return true;
}

}  // namespace

bool ReadXmlElements(const std::string& path, std::vector<XmlElement>* elements, std::string* why) {
  elements->clear();
  VtComScope com;
  ComPtr<IXMLDOMDocument> document;
  const HRESULT created = CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IXMLDOMDocument, &document);
  if (FAILED(created)) {
    *why = "no MSXML DOMDocument: " + std::to_string(static_cast<unsigned long>(created));
    return false;
  }
  document->put_async(VARIANT_FALSE);
  document->put_validateOnParse(VARIANT_FALSE);
  Bstr file(Widen932(path));
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = file.get();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (FAILED(document->load(source, &loaded)) || loaded != VARIANT_TRUE) {
    ComPtr<IXMLDOMParseError> error;
    Bstr reason;
    if (SUCCEEDED(document->get_parseError(&error))) error->get_reason(reason.out());
    *why = "not well-formed XML: " + Narrow932(reason.get());
    return false;
  }
  ComPtr<IXMLDOMElement> root;
  if (FAILED(document->get_documentElement(&root)) || root == nullptr) {
    *why = "no root element";
    return false;
  }
  if (!AddElement(root.Get(), 0, elements)) {
    *why = "the elements could not be read";
    return false;
  }
  return true;
}

}  // namespace vttest
