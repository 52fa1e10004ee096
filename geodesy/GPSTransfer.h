// GPSTransfer: the library's conversion object. One instance serves one conversion run: it
// chooses the input file, holds the ellipsoid and the point being converted in public data
// members, and converts between
//   geocentric Cartesian coordinates X, Y, Z (metres),
//   geodetic coordinates B, L (radians) and H (metres, ellipsoidal height),
//   plane coordinates of the transverse Mercator projection, x northing and y easting
//   (metres, without false northing or easting), in its Gauss-Krueger form (scale 1 on the
//   central meridian) or its UTM form (scale 0.9996).
// The same object carries the plane and spatial similarity transformations (their members
// are defined in SimilarityTransform.cpp).
//
// Callers set the inputs, call a conversion and read the outputs; one object is reused for
// every point of a file. Every conversion also sets m_b and m_e.
#pragma once

#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

// The directory (with its trailing '/') and the name without extension of the last file
// chosen by GPSTransfer::GetDataFile, for the whole library; empty before the first choice.
// Result files of the conversion commands are named from them.
const std::string& GlobalDataDir();
const std::string& GlobalDataName();

// The settings section and key that remember the directory of the last chosen data file.
extern const char* const kDataPathSection;  // "坐标转换" (UTF-8)
extern const char* const kDataPathKey;      // "Recent Data Path"

// Replaces every ASCII comma and every full-width comma "，" of a GBK line by a blank, so
// that both separate fields like blanks. GBK-aware: the bytes of "，" are matched only on a
// character boundary.
std::string CommasToBlanks(std::string_view lineGbk);

// Scans a line like sscanf(line, "%s %lf %lf ...") with at most maxValues numbers: the first
// whitespace-separated token is the name, then numbers are read one after the other until
// one does not convert. A non-finite number (nan, inf, an overflow) does not convert.
// Returns the number of fields scanned (the name counts as one; 0 for a blank line) like
// sscanf; values receives the numbers. The name is taken whole, of whatever length; callers
// check it against the bound of their format.
int ScanPointLine(std::string_view line, std::string& name, double* values, int maxValues);

// Whether a, invF describe an ellipsoid (a > 0, invF > 1, both finite); if not, warns with
// the caption given (GBK) and returns false.
bool CheckEllipsoid(double a, double invF, const char* captionGbk);

// Whether two paths name one file: the same file on disk, or, where either does not exist,
// the same path once normalised.
bool IsSameFile(const std::string& a, const std::string& b);

// Whether a result file may be written: false, with a warning under the caption given, when
// output names the input file itself (an input whose extension is the result's), which
// would otherwise be read while it is appended to.
bool CheckOutputIsNotInput(const std::string& inputPath, const std::string& outputPath, const char* captionGbk);

// Whether a result file may be opened for appending: false, with a warning under the caption
// given, when a directory, FIFO or device stands at its path (a FIFO would block the command).
bool CheckOutputIsRegular(const std::string& outputPath, const char* captionGbk);

// Warning "写文件'%s'出错!" under the caption given, for a result file that could not be
// written completely (a full disk).
void WriteFileError(const std::string& path, const char* captionGbk);

// A longitude (or a difference of longitudes), radians, brought into [-pi, pi]: a value in
// that range is returned unchanged, bit for bit; 200 degrees becomes -160. Files give
// longitudes from 0 to 360 degrees as well as east and west of Greenwich; every longitude
// read is wrapped so that it compares with those the conversions compute (atan2, in that
// range).
double WrapLongitude(double L);

// The local frame at geodetic latitude B and longitude L (radians): its rows are the north,
// east and up directions in geocentric X, Y, Z (row-major), so that neu = R xyz and a
// covariance turns as C_neu = R C_xyz Rᵀ.
std::array<double, 9> LocalFrameRows(double B, double L);

class GPSTransfer {
 public:
  // Kind of input file (m_Mode), which selects the filter and title of the file dialog.
  enum Mode {
    kModeXYZ = 0,       // "*.XYZ"    geocentric coordinates
    kModeBLH = 1,       // "*.BLH"    geodetic coordinates
    kModeBL = 2,        // "*.BL"     latitude and longitude
    kModeXY = 3,        // "*.XY"     plane coordinates
    kModeXYXY = 4,      // "*.XYXY"   plane transformation input
    kModeXYZXYZ = 5,    // "*.XYZXYZ" spatial transformation input
  };
  // Longest point name of a transformation input (its scan buffer holds 20 characters).
  static constexpr size_t kTransformNameLimit = 19;
  // Largest coordinate (m) of a transformation input line; a line beyond it is left out.
  static constexpr double kTransformCoordinateLimit = 1e9;

  explicit GPSTransfer(int mode);
  ~GPSTransfer();
  GPSTransfer(const GPSTransfer&) = delete;
  GPSTransfer& operator=(const GPSTransfer&) = delete;

  // Chooses the input file: path when it is non-empty, otherwise the file-open dialog of the
  // platform layer with the filter and title of m_Mode, starting in the directory remembered
  // under "坐标转换" / "Recent Data Path" (default: the current directory). The chosen path
  // is made absolute and kept in m_DataFile; its directory and name become GlobalDataDir()
  // and GlobalDataName(), and the directory is remembered for the next dialog. Returns 1
  // when a file was chosen, 0 when the dialog was cancelled.
  int GetDataFile(const char* path);

  // m_X, m_Y, m_Z -> m_B, m_L (radians), m_H (metres), iteratively; m_Z keeps |Z|.
  // Latitude converges to 1e-14 rad, height to 1e-4 m (round trip with BLHXYZ: < 1e-9 rad,
  // < 1e-3 m for latitudes within +-80 deg and heights -500 .. 9000 m). Returns 0 and leaves
  // m_B, m_L, m_H unchanged for a point on the polar axis (X = Y = 0, outside the domain of
  // the iteration), for non-finite input and if the iteration fails to settle; else 1.
  int XYZBLH();
  // m_B, m_L, m_H -> m_X, m_Y, m_Z, closed form. Returns 0 when the result is not finite.
  int BLHXYZ();
  // m_B, m_L, m_L0 -> m_X (northing), m_Y (easting): series to the 6th order in the longitude
  // difference (taken as WrapLongitude(m_L - m_L0), so 359 degrees lies 1 degree west of 0),
  // accurate to about 1e-9 rad in a round trip with XYBL within 3 deg of the
  // central meridian. m_B keeps |B|; the sign of B goes to m_X. The projection type comes
  // from the configuration given to SetGlobalVal (0 Gauss-Krueger, 1 UTM; any other value
  // leaves m_X and m_Y unchanged; no configuration counts as 0). Returns 0 when the result
  // is not finite.
  int BLXY();
  // m_X (northing), m_Y (easting), m_L0 -> m_B, m_L through the footpoint latitude; m_X
  // keeps |x|. Projection type as for BLXY. Returns 0 when the result is not finite.
  int XYBL();

  // Similarity transformations of the file chosen with GetDataFile (m_DataFile, when the
  // caller has set it, is taken as the path; otherwise the dialog is shown). They report to
  // the output file "<data directory><data name>.XYXY_O" (".XYZXYZ_O"), appended, and open
  // it in the text viewer. 0 when no file was chosen, the input cannot be read, or the
  // parameters cannot be determined (with a message); 1 otherwise.
  int ReadXY();
  int ReadXYZ();
  void AddToNormalEquation();
  int GetNormalEquation_xx();
  int XYXY4();  // 3 or 4 parameters (m_ParameterCount)
  int XYXY6();
  int XYZXYZ7();
  void OutCollocatedXY();
  void OutCollocatedXYZ();

  // Data members, in the declaration order of the design.
  std::string m_DataFile;       // full path of the input file chosen by GetDataFile
  std::string m_AuxiliaryFile;  // a second file name; not used by the conversions
  double m_a = 0.0;             // semi-major axis (m); set by the caller
  double m_b = 0.0;             // semi-minor axis a(1 - 1/invF); set by the conversions
  double m_InvF = 0.0;          // inverse flattening; set by the caller
  double m_e = 0.0;             // first eccentricity sqrt(1 - b^2/a^2)
  double m_X = 0.0;             // geocentric X, or plane x (northing)
  double m_Y = 0.0;             // geocentric Y, or plane y (easting, no false easting)
  double m_Z = 0.0;             // geocentric Z
  double m_B = 0.0;             // geodetic latitude, radians
  double m_L = 0.0;             // geodetic longitude, radians
  double m_L0 = 0.0;            // central meridian, radians; set by the caller
  double m_H = 0.0;             // ellipsoidal height, metres

  // The similarity transformations.
  int m_UnknownCount = 0;       // 4 (plane 3 and 4 parameters), 6, 7
  int m_PackedSize = 0;         // m_UnknownCount (m_UnknownCount + 1) / 2
  int m_CommonCount = 0;        // points known in both systems (they come first)
  int m_PointCount = 0;         // all points of the file
  int m_ParameterCount = 0;     // 3, 4, 6 or 7, set by the command
  std::vector<double> m_x1, m_y1, m_z1;  // source coordinates by point (later: transformed)
  std::vector<double> m_x2, m_y2, m_z2;  // target coordinates of the common points
  std::vector<std::string> m_PointNames;  // GBK, by point
  std::string m_ScanName;       // fields of the current input line
  double m_ScanValue[6] = {};
  double m_vv = 0.0;            // sum of squared residuals [vv]
  double m_l = 0.0;             // constant term of the current observation equation
  double m_p = 0.0;             // weight of the current observation equation
  double m_TransformedX = 0.0, m_TransformedY = 0.0, m_TransformedZ = 0.0;
  double m_MeanX1 = 0.0, m_MeanY1 = 0.0, m_MeanZ1 = 0.0;  // centroid of the common points
  double m_MeanX2 = 0.0, m_MeanY2 = 0.0, m_MeanZ2 = 0.0;
  std::string m_OutputFile;     // path of the report
  std::string m_Line;           // line buffer
  std::istringstream m_InputStream;  // the input file, read whole
  std::ofstream m_OutputStream;
  std::vector<double> m_N;            // packed normal matrix, then its inverse
  std::vector<double> m_Unknown;      // unknowns x
  std::vector<double> m_W;            // right-hand side
  std::vector<double> m_Coefficient;  // coefficient row a of the current observation

  int m_Mode = 0;

 private:
  int ReadPoints(int dimension);
  void SetObservation(size_t point, int coordinate);
  int ObservedCoordinates() const;
  void FormNormalEquations(int unknownCount);
  double SumOfSquaredResiduals();
  int SolveParameters(int minimumCommonPoints);
  int OpenReport();
  int CloseReport();
  void RestoreCommonPoints();
  void WritePlaneCommonPoints();
  int FinishPlaneReport(double m0, double ax, double bx, double cx, double ay, double by, double cy);
  void WarnUndetermined();
  void Collocate(int dimension);
  void Write(const std::string& text);
};
