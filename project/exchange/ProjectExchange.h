// The project side of the exchange: an imported network written into the current project's
// files (all of them or none), and the project's 3D vector network read back for an export.
#pragma once

#include <string>
#include <vector>

#include "project/exchange/ExchangeNetwork.h"

namespace vemo::exchange {

// A name the project's files can hold: GBK, no blanks or commas, not starting with '#',
// upper-cased, at most 19 bytes.
constexpr size_t kProjectNameLimit = 19;

// Writes the network into the current project: the known points (constrained stations and the
// points of point clusters), the approximate coordinates of every station, the vectors, the
// clusters, the weighted known points and the import record. Existing files are replaced only
// after the person agrees; then every file is written whole or the old one kept. On success
// the summary (counts, renamed stations, what was not imported) is shown and true returned;
// false after the message of a failure. formatName and sources go into the summary and record.
bool ImportIntoProject(const Network& network, const std::string& formatName, const std::vector<std::string>& sources);

// The project's 3D vector network: known points (fixed, or weighted when the known-point
// covariance file lists them), the other points with the approximate coordinates when the
// project has them, the vectors in use with their covariances as the vector file holds them,
// and the clusters. ExchangeError naming the file and line when a file cannot be read.
Network ReadProjectNetwork();

// A number as written into project and exchange files: with the given decimals when that
// reads back as the same double, otherwise with 15 significant digits.
std::string ExactNumber(double value, int decimals);

}  // namespace vemo::exchange
