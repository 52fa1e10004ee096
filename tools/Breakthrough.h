// Tunnel breakthrough error estimation. Two stages that meet in files of the project
// directory: the extraction, run at the end of every plane adjustment, writes for each line of
// the user's guide file "<project>.gti" the adjusted coordinates and cofactors of the four
// control points of a tunnel's two portals to "<project>.gtt"; the computation (a command)
// reads that file and writes the lateral and longitudinal errors of each breakthrough and the
// error ellipse of the discrepancy to the report "<project>.gto".
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vemo {

// Cofactor Q(p, q) of the plane unknowns (p, q counted from 0; x of the j-th unknown point at
// 2j, its y at 2j + 1); the caller answers 0 for a negative index.
using CofactorFunction = std::function<double(int p, int q)>;

// The extraction: nothing when the project has no guide file. names are the point list (the
// knownCount known points first), x and y the adjusted coordinates (m), m0 the adjustment's
// unit weight error (m). A malformed guide line ("读贯通误差引导文件%d行出错") or one naming a
// point outside the network ("点%s不存在!") costs that line only. Returns 0 when a file
// cannot be opened (after OpenFileError), else 1. The one-point-one-direction network writes
// its extract under its own extension ("gtt1"), leaving the ordinary network's untouched.
int ExtractBreakthroughData(const std::vector<std::string>& names, const std::vector<double>& x,
                            const std::vector<double>& y, int knownCount, double m0, const CofactorFunction& cofactor,
                            const char* extractExtension = "gtt");

// The errors of one breakthrough (cm; the azimuth of the major axis in radians from x toward y).
struct BreakthroughErrors {
  double lateral = 0, longitudinal = 0, E = 0, F = 0, majorAzimuth = 0;
};

// The computation for one block of the extract: m0 in cm, the azimuth of the lateral direction
// in packed D.MMSS, the plane coordinates of A, B (entry station and its sighting point), C, D
// (exit station and its sighting point) and P (the breakthrough point), and their 8 x 8
// cofactor matrix in the order xA, yA, ..., yD.
BreakthroughErrors ComputeBreakthrough(double m0, double azimuthDms, const double xy[5][2], const float Q[8][8]);

// The command: reads "<project>.gtt", writes "<project>.gto", tells "贯通误差计算完毕". Returns 1
// when the report was written; 0 after the message of the failure, with no report begun: no
// extract (the system's warning that the guide file is missing), an extract that is not whole
// as the extraction writes it (the message names its first damaged line) or holds no block, a
// block whose station coincides with its sighting point.
int ComputeBreakthroughErrors();

}  // namespace vemo
