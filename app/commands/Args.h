// The arguments of one command: options are taken by name, what remains are the positional
// arguments. Anything left untaken is a usage error, so a misspelt option never passes
// silently.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "geodesy/TextTools.h"  // ParseNumber, ParseInteger

namespace vemo {

// A usage error: the command line does not say what the command needs (exit status 2).
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Args {
 public:
  explicit Args(std::vector<std::string> args) : m_Args(std::move(args)) {}

  // The value of "--name VALUE" or "--name=VALUE"; the last one wins. Nothing when absent.
  std::optional<std::string> TakeValue(const std::string& name);
  // Every value of a repeated option, in order.
  std::vector<std::string> TakeValues(const std::string& name);
  // "--name A B C": every occurrence with its count values.
  std::vector<std::vector<std::string>> TakeTuples(const std::string& name, size_t count);
  bool TakeFlag(const std::string& name);
  // The positional arguments; fails on any option that no one took.
  std::vector<std::string> Positionals();

  bool Empty() const { return m_Args.empty(); }

  std::optional<double> TakeDouble(const std::string& name);
  std::optional<int> TakeInt(const std::string& name);

 private:
  std::vector<std::string> m_Args;
};

}  // namespace vemo
