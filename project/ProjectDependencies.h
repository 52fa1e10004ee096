// Which project files each result is computed from: for every kind a computation writes, the
// kinds of the files that computation reads. A result older than one of its inputs was not
// computed from what the input holds now, and is shown as such (the desktop's project
// explorer). One table, by kind; a kind that no computation writes (the user's own data) has
// no inputs. Inputs that do not exist are optional ones (ground distances, covariance files)
// and compare with nothing.
#pragma once

#include <optional>
#include <span>

#include "geodesy/ProjectFiles.h"

namespace vemo {

// The inputs of a result kind, or an empty span for a kind no computation writes.
std::span<const ProjectFile> InputsOf(ProjectFile result);

// How a result of the current project stands against its inputs, in a network variant.
struct ResultCurrency {
  bool exists = false;
  // The first input (in table order) that was modified after the result, if any.
  std::optional<ProjectFile> newerInput;
  bool IsStale() const { return newerInput.has_value(); }
};
// Compares the modification times of the current project's result file and of each of its
// inputs in the variant (files found without regard to the letter case of their extension).
ResultCurrency CheckResultCurrency(ProjectFile result, int variant = 0);

}  // namespace vemo
