// The option --geoid egm96|FILE of the commands that give heights on a geoid model (the
// height fitting, the GIS exports, the map).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/commands/Args.h"
#include "geodesy/Geoid.h"

namespace vemo {

// The value of --geoid; nothing without the option. An empty value is a usage error.
std::optional<std::string> TakeGeoidOption(Args& args);

// Opens the model of the value; nullptr after the message naming the grid file.
std::unique_ptr<CGeoidModel> OpenGeoidModel(const std::string& value);

}  // namespace vemo
