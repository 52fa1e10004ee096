#include "geodesy/Settings.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <mutex>
#include <set>

#include "geodesy/FileUtil.h"

namespace vemo {
namespace {

constexpr const char* kRecentSection = "Recent File List";
constexpr const char* kRecentProjectSection = "Recent Project List";

// What a settings file may hold. The program itself writes a few dozen short entries; a file
// beyond these bounds was made by something else, and only its first part is read (and kept
// on the next save), so that a bloated file never slows down or blocks a command.
constexpr size_t kMaxSettingsBytes = 1 << 20;
constexpr size_t kMaxSettingsEntries = 1000;
constexpr size_t kMaxSettingsLineBytes = 4096;

// Sections and keys keep the order in which they were first written; the indexes make
// loading a file linear in its length.
struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
  std::unordered_map<std::string, size_t> index;
};

struct IniFile {
  std::vector<IniSection> sections;
  std::unordered_map<std::string, size_t> sectionIndex;
  size_t entryCount = 0;

  std::string* Find(const std::string& section, const std::string& key) {
    auto s = sectionIndex.find(section);
    if (s == sectionIndex.end()) return nullptr;
    IniSection& found = sections[s->second];
    auto k = found.index.find(key);
    return k == found.index.end() ? nullptr : &found.entries[k->second].second;
  }
  void Set(const std::string& section, const std::string& key, const std::string& value) {
    auto [s, newSection] = sectionIndex.try_emplace(section, sections.size());
    if (newSection) sections.push_back({section, {}, {}});
    IniSection& target = sections[s->second];
    auto [k, newKey] = target.index.try_emplace(key, target.entries.size());
    if (newKey) {
      target.entries.emplace_back(key, value);
      ++entryCount;
    } else {
      target.entries[k->second].second = value;
    }
  }
};

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char n = s[++i];
      out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    } else {
      out += s[i];
    }
  }
  return out;
}

// The first read of a settings file in a process is the program's start: a save of an earlier
// run that died there may have left its temporary file beside it.
void CleanUpOnce(const std::string& path) {
  static std::mutex mutex;
  static std::set<std::string> cleaned;
  const std::string dir = std::filesystem::path(path).parent_path().string();
  std::lock_guard<std::mutex> lock(mutex);
  if (cleaned.insert(dir).second) RemoveLeftoverSaves(dir);
}

IniFile Load() {
  IniFile ini;
  CleanUpOnce(CSettingsStore::FilePath());
  // Only a regular file is read: a FIFO or a device in its place must not block start-up.
  auto text = ReadWholeFile(CSettingsStore::FilePath());
  if (!text) return ini;
  std::string_view rest(*text);
  if (rest.size() > kMaxSettingsBytes) rest = rest.substr(0, kMaxSettingsBytes);
  std::string section;
  while (!rest.empty() && ini.entryCount < kMaxSettingsEntries) {
    const size_t end = rest.find('\n');
    std::string_view view = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (view.size() > kMaxSettingsLineBytes) continue;  // no entry of ours is that long
    std::string line(view);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;  // a damaged line is ignored, not fatal
    ini.Set(section, Unescape(line.substr(0, eq)), Unescape(line.substr(eq + 1)));
  }
  return ini;
}

bool Save(const IniFile& ini) {
  std::string path = CSettingsStore::FilePath();
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  // Something other than a file in its place (a FIFO, a folder) is left alone.
  std::error_code exists;
  if (std::filesystem::exists(path, exists) && !FileExists(path)) return false;
  std::string out;
  for (const auto& section : ini.sections) {
    out += "[" + section.name + "]\n";
    for (const auto& [k, v] : section.entries) out += Escape(k) + "=" + Escape(v) + "\n";
    out += "\n";
  }
  return WriteFileAtomically(path, out);
}

}  // namespace

std::string CSettingsStore::FilePath() {
  std::string dir;
  if (const char* d = std::getenv("VEMOGPS_CONFIG_DIR"); d && *d) {
    dir = d;
  } else if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) {
    dir = std::string(x) + "/VemoGPS";
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    dir = std::string(h) + "/.config/VemoGPS";
  } else {
    dir = ".";
  }
  return dir + "/settings.ini";
}

std::string CSettingsStore::GetString(const std::string& section, const std::string& key,
                                      const std::string& fallback) {
  IniFile ini = Load();
  const std::string* v = ini.Find(section, key);
  return v ? *v : fallback;
}

int CSettingsStore::GetInt(const std::string& section, const std::string& key, int fallback) {
  std::string v = GetString(section, key, "");
  if (v.empty()) return fallback;
  char* end = nullptr;
  long n = std::strtol(v.c_str(), &end, 10);
  if (*end != '\0' || n < INT32_MIN || n > INT32_MAX) return fallback;
  return static_cast<int>(n);
}

bool CSettingsStore::SetString(const std::string& section, const std::string& key,
                               const std::string& value) {
  IniFile ini = Load();
  if (const std::string* old = ini.Find(section, key); old && *old == value) return true;
  ini.Set(section, key, value);
  return Save(ini);
}

bool CSettingsStore::SetInt(const std::string& section, const std::string& key, int value) {
  return SetString(section, key, std::to_string(value));
}

namespace {

std::vector<std::string> RecentList(IniFile ini, const char* section) {
  std::vector<std::string> files;
  for (int i = 1; i <= CSettingsStore::kRecentFileCount; ++i) {
    const std::string* v = ini.Find(section, "File" + std::to_string(i));
    if (v && !v->empty()) files.push_back(*v);
  }
  return files;
}

bool AddToRecentList(const char* section, const std::string& path) {
  IniFile ini = Load();
  std::vector<std::string> files = RecentList(ini, section);
  std::erase(files, path);
  files.insert(files.begin(), path);
  if (files.size() > CSettingsStore::kRecentFileCount) files.resize(CSettingsStore::kRecentFileCount);
  for (int i = 0; i < CSettingsStore::kRecentFileCount; ++i)
    ini.Set(section, "File" + std::to_string(i + 1), i < static_cast<int>(files.size()) ? files[i] : "");
  return Save(ini);
}

bool IsProjectFile(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".prj";
}

}  // namespace

std::vector<std::string> CSettingsStore::RecentFiles() { return RecentList(Load(), kRecentSection); }

bool CSettingsStore::AddRecentFile(const std::string& path) {
  if (IsProjectFile(path)) return true;
  return AddToRecentList(kRecentSection, path);
}

std::vector<std::string> CSettingsStore::RecentProjects() { return RecentList(Load(), kRecentProjectSection); }

bool CSettingsStore::AddRecentProject(const std::string& path) { return AddToRecentList(kRecentProjectSection, path); }

}  // namespace vemo
