// The XML input of the local geodetic network adjustment of GNU Gama (gama-local): its points,
// GNSS vectors with their covariance blocks and observed coordinates read into a network, and
// a network written as such an input.
#pragma once

#include <string>

#include "project/exchange/ExchangeNetwork.h"

namespace vemo::exchange {

// Points (fix="xyz": constrained), <vectors> blocks (one vector: a baseline; several: a
// cluster), <coordinates> blocks (weighted known points); other observations are counted.
// Covariances are converted from mm² to cm². ExchangeError naming the file and line.
Network ParseGama(const std::string& path, const std::string& xml, double* sigmaApriori = nullptr);
Network ReadGama(const std::string& path, double* sigmaApriori = nullptr);

// The network as a gama-local input (UTF-8): names are GBK in the network.
std::string WriteGama(const Network& network, const std::string& descriptionGbk);

}  // namespace vemo::exchange
