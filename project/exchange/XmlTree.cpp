#include "project/exchange/XmlTree.h"

#include <expat.h>

#include <climits>

namespace vemo::exchange {
namespace {

constexpr int kMaxDepth = 64;

struct ParseState {
  XML_Parser parser = nullptr;
  std::unique_ptr<XmlElement> root;
  std::vector<XmlElement*> open;
  bool tooDeep = false;
};

std::string LocalName(const char* name) {
  // With namespace processing expat gives "URI|local"; a prefix "ns:local" is also dropped.
  std::string text(name);
  size_t cut = text.find_last_of("|:");
  return cut == std::string::npos ? text : text.substr(cut + 1);
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto* state = static_cast<ParseState*>(data);
  if (state->open.size() >= static_cast<size_t>(kMaxDepth)) {
    state->tooDeep = true;
    XML_StopParser(state->parser, XML_FALSE);
    return;
  }
  auto element = std::make_unique<XmlElement>();
  element->name = LocalName(name);
  element->line = static_cast<int>(XML_GetCurrentLineNumber(state->parser));
  for (int i = 0; attributes[i]; i += 2) element->attributes.emplace_back(LocalName(attributes[i]), attributes[i + 1]);
  XmlElement* raw = element.get();
  if (state->open.empty()) state->root = std::move(element);
  else state->open.back()->children.push_back(std::move(element));
  state->open.push_back(raw);
}

void XMLCALL OnEnd(void* data, const XML_Char*) {
  auto* state = static_cast<ParseState*>(data);
  if (!state->open.empty()) state->open.pop_back();
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
  auto* state = static_cast<ParseState*>(data);
  if (!state->open.empty()) state->open.back()->text.append(text, static_cast<size_t>(length));
}

}  // namespace

const std::string* XmlElement::Attribute(const std::string& key) const {
  for (const auto& [k, v] : attributes)
    if (k == key) return &v;
  return nullptr;
}

const XmlElement* XmlElement::Child(const std::string& childName) const {
  for (const auto& child : children)
    if (child->name == childName) return child.get();
  return nullptr;
}

std::unique_ptr<XmlElement> ParseXml(const std::string& content, std::string& error, int& errorLine) {
  if (content.size() > static_cast<size_t>(INT_MAX)) {
    error = "file too large", errorLine = 0;
    return nullptr;
  }
  ParseState state;
  state.parser = XML_ParserCreateNS(nullptr, '|');
  if (!state.parser) {
    error = "out of memory", errorLine = 0;
    return nullptr;
  }
  XML_SetUserData(state.parser, &state);
  XML_SetElementHandler(state.parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(state.parser, OnText);
  const bool parsed = XML_Parse(state.parser, content.data(), static_cast<int>(content.size()), XML_TRUE) ==
                      XML_STATUS_OK;
  if (!parsed || !state.root) {
    errorLine = static_cast<int>(XML_GetCurrentLineNumber(state.parser));
    if (state.tooDeep) error = "elements nested too deeply";
    else if (!state.root) error = "no element";
    else error = XML_ErrorString(XML_GetErrorCode(state.parser));
    XML_ParserFree(state.parser);
    return nullptr;
  }
  XML_ParserFree(state.parser);
  return std::move(state.root);
}

}  // namespace vemo::exchange
