// The per-user settings store that stands in for the registry key "VEMO GPS": an INI-style
// UTF-8 text file "settings.ini" in $VEMOGPS_CONFIG_DIR, else $XDG_CONFIG_HOME/VemoGPS, else
// ~/.config/VemoGPS. Every change is written at once and replaces the file atomically.
// Section, key and value strings are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace vemo {

class CSettingsStore {
 public:
  static constexpr int kRecentFileCount = 4;

  // The settings file this store reads and writes (resolved from the environment each time,
  // so tests can point it elsewhere).
  static std::string FilePath();

  static std::string GetString(const std::string& section, const std::string& key,
                               const std::string& fallback);
  static int GetInt(const std::string& section, const std::string& key, int fallback);
  // Returns false when the file could not be written (the old one is then kept).
  static bool SetString(const std::string& section, const std::string& key, const std::string& value);
  static bool SetInt(const std::string& section, const std::string& key, int value);

  // The most recently used files, newest first, at most kRecentFileCount.
  static std::vector<std::string> RecentFiles();
  // A project file (.prj) is no recent file: projects have their own list.
  static bool AddRecentFile(const std::string& path);
  // The recently opened project files, newest first, at most kRecentFileCount.
  static std::vector<std::string> RecentProjects();
  static bool AddRecentProject(const std::string& path);
};

}  // namespace vemo
