// Readers of the station and measurement files of the DynaML XML format and of the DNA
// fixed-column text format: stations, GNSS baselines (type G), baseline clusters (type X) and
// point clusters (type Y), with the variance scales applied and covariances in cm²; the other
// measurement types are counted.
#pragma once

#include <string>
#include <vector>

#include "project/exchange/ExchangeNetwork.h"

namespace vemo::exchange {

// Throw ExchangeError naming the file and line (or element) on anything they cannot take.
Network ReadDynaml(const std::string& stationPath, const std::string& measurementPath);
Network ReadDna(const std::string& stationPath, const std::string& measurementPath);

// The same from the files' contents; the paths only name them in messages.
Network ParseDynaml(const std::string& stationPath, const std::string& stationXml, const std::string& measurementPath,
                    const std::string& measurementXml);
Network ParseDna(const std::string& stationPath, const std::string& stationText, const std::string& measurementPath,
                 const std::string& measurementText);

// Shared with the other readers of this folder.
std::string ReadInput(const std::string& path);  // the whole file, or ExchangeError
[[noreturn]] void Fail(const std::string& path, int line, const std::string& whatGbk);
// The lines of a text (a CR before the LF dropped), line n at index n - 1.
std::vector<std::string> Lines(const std::string& text);
// Refuses a covariance that is not positive definite, naming the line.
void CheckPositiveDefinite(const Matrix& cov, size_t n, const std::string& path, int line);

}  // namespace vemo::exchange
