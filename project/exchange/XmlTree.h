// A small element tree of an XML document, read with expat: what the exchange readers need of
// another program's XML (element names without their namespace, attributes, text, and the line
// of each element for the messages).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vemo::exchange {

struct XmlElement {
  std::string name;  // local name: a namespace prefix or URI is dropped
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text;  // the character data directly inside the element, concatenated
  int line = 0;      // where the start tag is, counted from 1
  std::vector<std::unique_ptr<XmlElement>> children;

  // The attribute's value, or nothing.
  const std::string* Attribute(const std::string& key) const;
  // The first child of that name, or nullptr.
  const XmlElement* Child(const std::string& childName) const;
};

// The document's root element, or nothing with the parser's reason and its line in error and
// errorLine. Text is UTF-8 (expat converts other declared encodings). Elements nested deeper
// than a reader needs are refused, so that a hostile file cannot exhaust the stack.
std::unique_ptr<XmlElement> ParseXml(const std::string& content, std::string& error, int& errorLine);

}  // namespace vemo::exchange
