// Command-line handlers of the commands, grouped by subsystem in their own source files.
#pragma once

#include "app/commands/CommandTable.h"

namespace vemo {

extern const char* const kProjectOptionsHelp;
extern const char* const kCoorsSystemsHelp;

// Project life cycle (ProjectCommands.cpp).
int RunNewProject(CommandContext& context);
int RunSettings(CommandContext& context);
int RunCoordinateSystems(CommandContext& context);

// Data files: the entry dialogs, "打开(&O)..." and the result viewing commands (DataCommands.cpp).
extern const char* const kEnterSynopsis;
extern const char* const kEnterHelp;
extern const char* const kViewHelp;
extern const char* const kShowResultSynopsis;
extern const char* const kShowResultHelp;
int RunEnter(CommandContext& context);
int RunView(CommandContext& context);
int RunShowResult(CommandContext& context);

// Coordinate conversions, similarity transformations, zone change (ConversionCommands.cpp).
extern const char* const kConversionHelp;
extern const char* const kTransformHelp;
extern const char* const kChangeZoneHelp;
int RunXyzToBlh(CommandContext& context);
int RunBlhToXyz(CommandContext& context);
int RunBlToXy(CommandContext& context);
int RunXyToBl(CommandContext& context);
int RunTransform3(CommandContext& context);
int RunTransform4(CommandContext& context);
int RunTransform6(CommandContext& context);
int RunTransform7(CommandContext& context);
int RunChangeZone(CommandContext& context);

// Observation checks (CheckCommands.cpp).
extern const char* const kFormIndependentHelp;
extern const char* const kSyncLoopsHelp;
int RunFormIndependent(CommandContext& context);
int RunSyncLoops(CommandContext& context);
int RunAsyncLoops(CommandContext& context);
int RunRepeatBaselines(CommandContext& context);

// Baseline import (ImportCommands.cpp).
extern const char* const kImportBaselinesHelp;
int RunImportBaselines(CommandContext& context);

// 3D vector network adjustment (Adjust3dCommands.cpp).
int RunAdjust3d(CommandContext& context);

// GPS height fitting and the transformation parameters (HeightCommands.cpp).
extern const char* const kHeightModelHelp;
extern const char* const kHeightParametersHelp;
extern const char* const kPlaneParametersHelp;
int RunFitHeights(CommandContext& context);
int RunPlaneParameters(CommandContext& context);
int RunHeightParameters(CommandContext& context);

// The 3D adjustment's synopsis and help with its variance component options (Adjust3dCommands.cpp).
const char* Adjust3dSynopsis();
const char* Adjust3dHelp();
// Plane adjustment and tunnel breakthrough errors (Adjust2dCommands.cpp).
const char* Adjust2dSynopsis();
const char* Adjust2dHelp();
// fit-heights: the model option with the test options (HeightCommands.cpp).
const char* FitHeightsSynopsis();
const char* FitHeightsHelp();
const char* HeightParametersSynopsis();
const char* HeightParametersHelp();
int RunAdjust2d(CommandContext& context);
int RunBreakthrough(CommandContext& context);

// Free network and stability analysis (FreeNetworkCommands.cpp).
extern const char* const kFreeNetworkHelp;
extern const char* const kStabilityHelp;
int RunFreeNetwork(CommandContext& context);
int RunStability(CommandContext& context);

// Ellipsoidal 3D combined adjustment (AdjustEllipsoidCommand.cpp).
int RunAdjustEllipsoid(CommandContext& context);

// One-point-one-direction engineering network (OneFixCommand.cpp).
extern const char* const kOneFixHelp;
int RunAdjustOneFix(CommandContext& context);

// Drawing and engineering tools (ToolCommands.cpp).
extern const char* const kMapSynopsis;
extern const char* const kMapHelp;
extern const char* const kExportDxfHelp;
extern const char* const kDesignHelp;
int RunMap(CommandContext& context);
int RunExportDxf(CommandContext& context);
int RunDesign(CommandContext& context);

// A report's printed pages as a PDF file (ReportCommands.cpp).
extern const char* const kReportPdfHelp;
int RunReportPdf(CommandContext& context);

// The test options of the adjustments and the GIS exports (StatisticsCommands.cpp).
extern const char* const kAdjustTestSynopsis;
extern const char* const kAdjustTestHelp;
extern const char* const kEllipsoidTestHelp;
extern const char* const kHeightTestHelp;
extern const char* const kExportGisHelp;
int RunExportGeoJson(CommandContext& context);
int RunExportKml(CommandContext& context);

// Help (HelpCommand.cpp).
int RunHelp(CommandContext& context);

// Exchange with other adjustment programs' files (ExchangeCommands.cpp).
extern const char* const kImportDynaHelp;
extern const char* const kImportGamaHelp;
extern const char* const kExportGamaHelp;
int RunImportDynaml(CommandContext& context);
int RunImportDna(CommandContext& context);
int RunImportGama(CommandContext& context);
int RunExportGama(CommandContext& context);

}  // namespace vemo
