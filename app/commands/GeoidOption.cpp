#include "app/commands/GeoidOption.h"

#include "geodesy/Platform.h"
#include "project/AppState.h"

namespace vemo {

std::optional<std::string> TakeGeoidOption(Args& args) {
  std::optional<std::string> value = args.TakeValue("--geoid");
  if (value && value->empty()) throw UsageError("--geoid takes egm96 or a grid file");
  return value;
}

std::unique_ptr<CGeoidModel> OpenGeoidModel(const std::string& value) {
  std::string error;
  std::unique_ptr<CGeoidModel> model = CGeoidModel::Open(value, error);
  if (!model) ShowMessage(error, AppTitle(), MessageIcon::Warning);
  return model;
}

}  // namespace vemo
