// The arguments of a command from its dialog's record: what the command line would be given
// for the same dialog. A form fills the record and the command's own handler runs on these
// arguments; each is written beside the handler that reads them, so that an option is spelt in
// one place.
#pragma once

#include <string>
#include <vector>

#include "baselines/IndependentBaselines.h"
#include "baselines/SelectBaselineDlg.h"
#include "geodesy/ZoneChange.h"
#include "project/HeightModelDlg.h"
#include "project/OneFixOneAzimuth.h"

namespace vemo {

// import-baselines: "--merge FILE" when merging, then the chosen files.
std::vector<std::string> ImportBaselineArguments(const CSelectBaselineDlg& dialog);
// form-independent: the rule, "--random" when checked, then the chosen files.
std::vector<std::string> IndependentBaselineArguments(const CIndependentBaselineDlg& dialog);
// fit-heights and height-parameters: the model.
std::vector<std::string> HeightModelArguments(const CHeightModelDlg& dialog);
// adjust-one-fix: every field, numbers with all their digits.
std::vector<std::string> OneFixArguments(const OneFixOneAzimuth& dialog);
// change-zone: the coordinate file, then the fields and the method.
std::vector<std::string> ChangeZoneArguments(const CChangZoneOfXY& dialog, const std::string& file);

}  // namespace vemo
