#include "app/commands/Args.h"


namespace vemo {

std::optional<std::string> Args::TakeValue(const std::string& name) {
  std::optional<std::string> value;
  for (size_t i = 0; i < m_Args.size();) {
    if (m_Args[i] == name) {
      if (i + 1 >= m_Args.size()) throw UsageError("option " + name + " needs a value");
      value = m_Args[i + 1];
      m_Args.erase(m_Args.begin() + static_cast<long>(i), m_Args.begin() + static_cast<long>(i) + 2);
    } else if (m_Args[i].rfind(name + "=", 0) == 0) {
      value = m_Args[i].substr(name.size() + 1);
      m_Args.erase(m_Args.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  return value;
}

std::vector<std::string> Args::TakeValues(const std::string& name) {
  std::vector<std::string> values;
  for (const auto& t : TakeTuples(name, 1)) values.push_back(t[0]);
  return values;
}

std::vector<std::vector<std::string>> Args::TakeTuples(const std::string& name, size_t count) {
  std::vector<std::vector<std::string>> tuples;
  for (size_t i = 0; i < m_Args.size();) {
    if (m_Args[i] != name) {
      ++i;
      continue;
    }
    if (i + count >= m_Args.size())
      throw UsageError("option " + name + " needs " + std::to_string(count) + " value(s)");
    tuples.emplace_back(m_Args.begin() + static_cast<long>(i) + 1,
                        m_Args.begin() + static_cast<long>(i + count) + 1);
    m_Args.erase(m_Args.begin() + static_cast<long>(i), m_Args.begin() + static_cast<long>(i + count) + 1);
  }
  return tuples;
}

bool Args::TakeFlag(const std::string& name) {
  bool found = false;
  for (size_t i = 0; i < m_Args.size();) {
    if (m_Args[i] == name) {
      found = true;
      m_Args.erase(m_Args.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  return found;
}

std::vector<std::string> Args::Positionals() {
  std::vector<std::string> rest;
  bool literal = false;
  for (const auto& a : m_Args) {
    if (!literal && a == "--") {
      literal = true;
      continue;
    }
    if (!literal && a.size() > 2 && a.rfind("--", 0) == 0) throw UsageError("unknown option " + a);
    rest.push_back(a);
  }
  m_Args.clear();
  return rest;
}

std::optional<double> Args::TakeDouble(const std::string& name) {
  auto v = TakeValue(name);
  if (!v) return std::nullopt;
  auto n = ParseNumber(*v);
  if (!n) throw UsageError("option " + name + ": '" + *v + "' is not a number");
  return n;
}

std::optional<int> Args::TakeInt(const std::string& name) {
  auto v = TakeValue(name);
  if (!v) return std::nullopt;
  auto n = ParseInteger(*v);
  if (!n) throw UsageError("option " + name + ": '" + *v + "' is not an integer");
  return n;
}

}  // namespace vemo
