// Collects the texts the program shows to a person into a Qt Linguist catalog (.ts) and checks
// that each has a translation. The texts are the literals of UiText(...), TrNoop(...) and the
// desktop's Tr(...); all live in one context, "VemoGPS", the one the program looks them up in.
//
//   vemo_texts --ts CATALOG.ts [--check] [--language en] SOURCE...
//   vemo_texts --agree CATALOG.ts...
//
// A SOURCE is a file or a folder (its .cpp and .h files, recursively). Without --check the
// catalog is rewritten: texts found keep their translation, new ones come in unfinished, texts
// no longer in the sources leave. With --check nothing is written; the exit status is 1 when a
// text of the sources has no finished translation in the catalog, and each such text is listed.
// With --agree the catalogs are compared: a text that two of them translate differently is
// listed and the exit status is 1, since the program's one catalog could keep either.
//
// Qt's lupdate is not used: it skips u8"..." literals, the form of every system text here, and
// takes its context from the enclosing class, which a table of texts or a free function lacks.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kContext = "VemoGPS";
const std::set<std::string> kMarkers = {"UiText", "TrNoop", "Tr"};

struct Text {
  std::string source;
  std::string file;  // where it first appears, relative to the catalog's folder
};

bool IsIdentifierChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Skips blanks and comments from i; returns the new position.
size_t SkipSpace(const std::string& s, size_t i) {
  while (i < s.size()) {
    if (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r') {
      ++i;
    } else if (s.compare(i, 2, "//") == 0) {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (s.compare(i, 2, "/*") == 0) {
      const size_t end = s.find("*/", i + 2);
      i = end == std::string::npos ? s.size() : end + 2;
    } else {
      break;
    }
  }
  return i;
}

// Reads a string literal (optionally u8-prefixed) at i: its value with the usual escapes
// resolved, and the position after it. Nothing when no plain literal starts at i.
std::optional<std::string> ReadLiteral(const std::string& s, size_t& i) {
  size_t j = i;
  if (s.compare(j, 2, "u8") == 0) j += 2;
  if (j >= s.size() || s[j] != '"') return std::nullopt;
  std::string value;
  for (++j; j < s.size() && s[j] != '"'; ++j) {
    if (s[j] == '\n') return std::nullopt;
    if (s[j] != '\\' || j + 1 >= s.size()) {
      value += s[j];
      continue;
    }
    const char e = s[++j];
    switch (e) {
      case 'n': value += '\n'; break;
      case 't': value += '\t'; break;
      case 'r': value += '\r'; break;
      case '0': value += '\0'; break;
      default: value += e; break;  // \" \\ \' \?
    }
  }
  if (j >= s.size()) return std::nullopt;
  i = j + 1;
  return value;
}

// Skips a string or character literal that starts at i (raw strings included); returns the
// position after it.
size_t SkipLiteral(const std::string& s, size_t i) {
  if (s[i] == 'R' && i + 1 < s.size() && s[i + 1] == '"') {
    const size_t open = s.find('(', i + 2);
    if (open == std::string::npos) return s.size();
    const std::string close = ")" + s.substr(i + 2, open - i - 2) + "\"";
    const size_t end = s.find(close, open);
    return end == std::string::npos ? s.size() : end + close.size();
  }
  const char quote = s[i];
  for (++i; i < s.size() && s[i] != quote; ++i) {
    if (s[i] == '\\') ++i;
    else if (s[i] == '\n') break;
  }
  return i + 1;
}

void Collect(const std::string& code, const std::string& file, std::vector<Text>& texts, std::set<std::string>& seen) {
  size_t i = 0;
  while (i < code.size()) {
    const char c = code[i];
    if (code.compare(i, 2, "//") == 0 || code.compare(i, 2, "/*") == 0) {
      i = SkipSpace(code, i);
    } else if (c == '"' || c == '\'' || (c == 'R' && i + 1 < code.size() && code[i + 1] == '"' &&
                                         (i == 0 || !IsIdentifierChar(code[i - 1])))) {
      i = SkipLiteral(code, i);
    } else if (IsIdentifierChar(c) && (i == 0 || !IsIdentifierChar(code[i - 1]))) {
      size_t end = i;
      while (end < code.size() && IsIdentifierChar(code[end])) ++end;
      const std::string word = code.substr(i, end - i);
      i = end;
      if (!kMarkers.count(word)) continue;
      size_t k = SkipSpace(code, i);
      if (k >= code.size() || code[k] != '(') continue;
      k = SkipSpace(code, k + 1);
      std::optional<std::string> value;
      while (auto piece = ReadLiteral(code, k)) {  // adjacent literals join
        value = value.value_or("") + *piece;
        k = SkipSpace(code, k);
      }
      if (!value || k >= code.size() || code[k] != ')') continue;  // not a plain literal: skipped
      i = k + 1;
      if (!value->empty() && seen.insert(*value).second) texts.push_back({*value, file});
    } else {
      ++i;
    }
  }
}

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c; break;
    }
  }
  return out;
}

std::string XmlUnescape(const std::string& text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&') {
      for (const auto& [entity, c] : kEntities) {
        const size_t n = std::char_traits<char>::length(entity);
        if (text.compare(i, n, entity) == 0) {
          out += c;
          i += n;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

struct Translation {
  std::string text;
  bool finished = false;
};

// The translations of an existing catalog, by source text. Reads the layout this tool and
// Qt Linguist write: one <message> with one <source> and one <translation> element.
std::map<std::string, Translation> ReadCatalog(const fs::path& path) {
  std::map<std::string, Translation> result;
  std::ifstream in(path, std::ios::binary);
  if (!in) return result;
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string xml = buffer.str();
  size_t at = 0;
  while ((at = xml.find("<message", at)) != std::string::npos) {
    const size_t end = xml.find("</message>", at);
    if (end == std::string::npos) break;
    const std::string message = xml.substr(at, end - at);
    at = end;
    const size_t s0 = message.find("<source>"), s1 = message.find("</source>");
    if (s0 == std::string::npos || s1 == std::string::npos || s1 < s0) continue;
    const std::string source = XmlUnescape(message.substr(s0 + 8, s1 - s0 - 8));
    Translation translation;
    const size_t t0 = message.find("<translation");
    if (t0 != std::string::npos) {
      const size_t tagEnd = message.find('>', t0);
      const size_t t1 = message.find("</translation>", t0);
      if (tagEnd != std::string::npos && t1 != std::string::npos && tagEnd < t1) {
        const std::string tag = message.substr(t0, tagEnd - t0);
        translation.text = XmlUnescape(message.substr(tagEnd + 1, t1 - tagEnd - 1));
        translation.finished = tag.find("type=") == std::string::npos && !translation.text.empty();
      }
    }
    result[source] = translation;
  }
  return result;
}

std::string WriteCatalog(const std::vector<Text>& texts, const std::map<std::string, Translation>& old,
                         const std::string& language) {
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"" << language
      << "\" sourcelanguage=\"zh_CN\">\n<context>\n    <name>" << kContext << "</name>\n";
  for (const Text& text : texts) {
    out << "    <message>\n        <location filename=\"" << XmlEscape(text.file) << "\"/>\n        <source>"
        << XmlEscape(text.source) << "</source>\n";
    const auto it = old.find(text.source);
    if (it != old.end() && it->second.finished)
      out << "        <translation>" << XmlEscape(it->second.text) << "</translation>\n";
    else
      out << "        <translation type=\"unfinished\">" << (it != old.end() ? XmlEscape(it->second.text) : "")
          << "</translation>\n";
    out << "    </message>\n";
  }
  out << "</context>\n</TS>\n";
  return out.str();
}

std::vector<fs::path> SourceFiles(const std::vector<std::string>& arguments) {
  std::vector<fs::path> files;
  for (const std::string& argument : arguments) {
    const fs::path path(argument);
    if (fs::is_directory(path)) {
      for (const auto& entry : fs::recursive_directory_iterator(path)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h")) files.push_back(entry.path());
      }
    } else if (fs::is_regular_file(path)) {
      files.push_back(path);
    } else {
      std::cerr << "vemo_texts: no such source: " << argument << "\n";
      std::exit(2);
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

// The texts that the catalogs translate differently.
int Agree(const std::vector<std::string>& catalogs) {
  std::map<std::string, std::pair<std::string, std::string>> first;  // source -> translation, catalog
  int differing = 0;
  for (const std::string& catalog : catalogs) {
    for (const auto& [source, translation] : ReadCatalog(catalog)) {
      if (!translation.finished) continue;
      const auto [it, inserted] = first.emplace(source, std::pair{translation.text, catalog});
      if (inserted || it->second.first == translation.text) continue;
      ++differing;
      std::cerr << "\"" << source << "\": \"" << it->second.first << "\" in " << it->second.second << ", \""
                << translation.text << "\" in " << catalog << "\n";
    }
  }
  if (differing) std::cerr << differing << " texts translated differently; give each one translation\n";
  return differing ? 1 : 0;
}

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--agree") return Agree(std::vector<std::string>(argv + 2, argv + argc));
  std::string catalog, language = "en";
  bool check = false;
  std::vector<std::string> sources;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--ts" && i + 1 < argc) catalog = argv[++i];
    else if (a == "--language" && i + 1 < argc) language = argv[++i];
    else if (a == "--check") check = true;
    else sources.push_back(a);
  }
  if (catalog.empty() || sources.empty()) {
    std::cerr << "usage: vemo_texts --ts CATALOG.ts [--check] [--language en] SOURCE...\n";
    return 2;
  }
  const fs::path catalogPath = fs::absolute(catalog);
  std::vector<Text> texts;
  std::set<std::string> seen;
  for (const fs::path& file : SourceFiles(sources)) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string relative =
        fs::absolute(file).lexically_relative(catalogPath.parent_path()).generic_string();
    Collect(buffer.str(), relative, texts, seen);
  }
  const std::map<std::string, Translation> old = ReadCatalog(catalogPath);

  if (check) {
    int missing = 0;
    for (const Text& text : texts) {
      const auto it = old.find(text.source);
      if (it != old.end() && it->second.finished) continue;
      if (missing++ == 0) std::cerr << catalog << ": texts without a finished translation:\n";
      std::cerr << "  " << text.file << ": \"" << text.source << "\"\n";
    }
    if (missing) {
      std::cerr << missing << " of " << texts.size()
                << " texts untranslated; run the update-translations target and translate them\n";
      return 1;
    }
    std::cout << catalog << ": " << texts.size() << " texts, all translated\n";
    return 0;
  }

  const std::string xml = WriteCatalog(texts, old, language);
  const fs::path temporary = catalogPath.string() + ".new";
  {
    std::ofstream out(temporary, std::ios::binary);
    out << xml;
    if (!out.flush()) {
      std::cerr << "vemo_texts: cannot write " << temporary.string() << "\n";
      return 1;
    }
  }
  fs::rename(temporary, catalogPath);
  size_t unfinished = 0;
  for (const Text& text : texts) {
    const auto it = old.find(text.source);
    if (it == old.end() || !it->second.finished) ++unfinished;
  }
  std::cout << catalog << ": " << texts.size() << " texts, " << unfinished << " to translate\n";
  return 0;
}
