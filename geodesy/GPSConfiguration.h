// The project configuration: one object for the whole run, owned by the program and read by
// every engine and, through SetGlobalVal, by this library. Declared here so that both
// deliverables include the same definition; the project file that stores it belongs to the
// program (the project layer, project/ProjectFile).
#pragma once

#include <array>
#include <cstdint>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "geodesy/Encoding.h"


// One reference ellipsoid.
struct CCoorsSystemSet {
  std::string m_Name;         // GBK, trimmed and upper-cased when it enters the set
  double m_a = 0.0;           // semi-major axis, metres
  double m_InvF = 0.0;        // flattening denominator 1/f
  int32_t m_Predefined = 0;   // 1 for the five built-in entries (read-only in the grid)

  bool operator==(const CCoorsSystemSet&) const = default;
};

// The ellipsoids offered for selection, keyed by name. Lookup is exact on the key as it was
// inserted. Entries keep their insertion order; nothing may rely on any order.
class CCoorsSystemMap {
 public:
  using Entry = std::pair<std::string, CCoorsSystemSet>;

  // Lookup and insertion take constant time, so that a project with many entries loads in
  // time linear in its size.
  const CCoorsSystemSet* Lookup(const std::string& key) const {
    auto it = m_Index.find(key);
    return it == m_Index.end() ? nullptr : &m_Entries[it->second].second;
  }
  void SetAt(const std::string& key, const CCoorsSystemSet& value) {
    auto [it, inserted] = m_Index.try_emplace(key, m_Entries.size());
    if (inserted) m_Entries.emplace_back(key, value);
    else m_Entries[it->second].second = value;
  }
  bool RemoveKey(const std::string& key) {
    auto it = m_Index.find(key);
    if (it == m_Index.end()) return false;
    m_Entries.erase(m_Entries.begin() + static_cast<std::ptrdiff_t>(it->second));
    m_Index.clear();
    for (size_t i = 0; i < m_Entries.size(); ++i) m_Index.emplace(m_Entries[i].first, i);
    return true;
  }
  void RemoveAll() {
    m_Entries.clear();
    m_Index.clear();
  }
  int GetCount() const { return static_cast<int>(m_Entries.size()); }
  const std::vector<Entry>& Entries() const { return m_Entries; }

  bool operator==(const CCoorsSystemMap& other) const { return m_Entries == other.m_Entries; }

 private:
  std::vector<Entry> m_Entries;
  std::unordered_map<std::string, size_t> m_Index;  // key -> position in m_Entries
};

// Precision indices of a network grade: fifteen doubles and one integer; -1 = not specified.
struct NetClassParameters {
  enum Row {
    kFixedError = 0,              // a, mm
    kProportionalError = 1,       // b, ppm
    kInstrumentFixedError = 2,    // mm
    kInstrumentProportionalError = 3,  // ppm
    kRepeatBaselineCoefficient = 4,
    kSyncLoopCoefficient = 5,
    kAsyncLoopCoefficient = 6,
    kVectorCorrectionCoefficient = 7,
    kVectorCorrectionDifferenceCoefficient = 8,  // unconstrained minus constrained
    kBaselineDirectionError = 9,     // seconds of arc
    kAdjacentPointError = 10,        // mm
    kWeakestSideRelativeError = 11,  // N of 1/N
    kConstrainedRelativeError = 12,  // N of 1/N
    kHorizontalComponentError = 13,  // mm
    kVerticalComponentError = 14,    // mm
    kRowCount = 15
  };

  std::array<double, kRowCount> m_Value{5.0, 1.0, 5.0, 1.0, 2.828, 0.2, 3.0, 3.0, 2.0,
                                        -1.0, -1.0, -1.0, -1.0, -1.0, -1.0};
  int32_t m_LoopSideLimit = -1;  // largest number of baselines in a closed loop

  double operator[](Row row) const { return m_Value[row]; }
  double& operator[](Row row) { return m_Value[row]; }
  bool operator==(const NetClassParameters&) const = default;
};

// The five built-in ellipsoids, in the order in which they are inserted.
inline std::vector<CCoorsSystemSet> PredefinedCoorsSystems() {
  return {
      {vemo::T(u8"北京54"), 6378245.0, 298.3, 1},
      {vemo::T(u8"西安80"), 6378140.0, 298.257, 1},
      {"CGCS2000", 6378137.0, 298.257222101, 1},
      {"WRS80", 6378137.0, 298.257222101, 1},
      {"WGS84", 6378137.0, 298.257223563, 1},
  };
}

class CGPSConfiguration {
 public:
  CGPSConfiguration() { ResetCoorsSystems(); }

  // Empties the set, refills it with the five built-in entries and makes "北京54" current.
  void ResetCoorsSystems() {
    m_CoorsSystems.RemoveAll();
    for (const auto& cs : PredefinedCoorsSystems()) m_CoorsSystems.SetAt(cs.m_Name, cs);
    m_CurrentCoorsSystem = PredefinedCoorsSystems().front();
  }

  // Persistent fields, in declaration order.
  std::string m_ProjectName;       // GBK
  std::string m_ProjectDir;        // GBK
  int32_t m_GradeIndex = 2;        // row of the grade table, 0..34
  int32_t m_BaselineType = 0;      // receiver software: a row of BaselinePackages()
  double m_CentralMeridian = 120.0;  // D.MMSS
  CCoorsSystemSet m_CurrentCoorsSystem;
  double m_XConstant = 0.0;        // km
  double m_YConstant = 0.0;        // km
  int32_t m_ModifyBaselineCov = 0;
  double m_BaselineVarianceFactor = 1.0;
  double m_MeanLatitude = 0.0;     // D.MMSS
  double m_Reserved1 = 0.0;
  double m_Reserved2 = 0.0;
  int32_t m_ProjectionType = 0;    // 0 Gauss-Krueger, 1 UTM
  int32_t m_IndependentBaselineCount = -1;  // -1: not given
  int32_t m_UseAprioriUnitWeight = 0;
  std::vector<std::string> m_SyncBaselineFiles;         // last chosen for import
  std::vector<std::string> m_IndependentBaselineFiles;  // last chosen for formation
  CCoorsSystemMap m_CoorsSystems;
  NetClassParameters m_NetClass;

  // Run-time only; never written to the project file.
  std::string m_ConvertedBaselineFile;
  bool m_MergeFiles = false;
  std::string m_IndependentBaselineFile;
};
