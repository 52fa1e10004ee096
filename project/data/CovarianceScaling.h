// Covariance scaling of the baseline vectors ("<project>.GPS3dCovScale"): per project (session
// "*") and per session (the base name of the synchronous baseline file a vector came from), a
// variance scale, the centring errors of both ends and a floor of constant plus ppm. The
// importers keep writing the processing software's own values; the scaling is applied each
// time the vectors are read, so that changing it never needs a new import.
//
// Per vector it is the linear form C' = S C Sᵀ + A (3 x 3, cm²): S scales and rotates, A adds
// the centring. A cluster's full covariance is scaled with the same forms block by block
// (C'_ij = S_i C_ij S_jᵀ + δ_ij A_i), which is why the form is exposed rather than only the
// scaled vector.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vemo {

struct CVectorRecord;

using Matrix3 = std::array<std::array<double, 3>, 3>;
using Vector3 = std::array<double, 3>;

struct CCovScaleEntry {
  std::string session;  // "*" or the upper-cased base name of a synchronous baseline file
  double scale = 1.0;
  double centringHorizontalMm = 0.0, centringVerticalMm = 0.0;
  double floorMm = 0.0, floorPpm = 0.0;
  int line = 0;
};

struct CCovarianceScaling {
  std::vector<CCovScaleEntry> entries;
  // The entry of a session: its own line, else the default "*", else none (nullptr).
  const CCovScaleEntry* For(const std::string& session) const;
};

// Parses the text (GBK) of the file at path. False after a message naming the file and the
// line: a line of other than six items, a number that does not read, a scale not above zero,
// a negative centring error or floor, a session named twice.
bool ParseCovarianceScaling(std::string_view text, const std::string& path, CCovarianceScaling& scaling);
// Reads the file; false after a message when it cannot be read or does not parse.
bool ReadCovarianceScaling(const std::string& path, CCovarianceScaling& scaling);

// The session a source-file line of the independent baseline file names: its base name, with
// neither folder nor extension, trimmed and upper-cased (GBK-aware: a trail byte that looks
// like a backslash is no separator).
std::string SessionOfSourceLine(std::string_view line);

struct CCovLinearForm {
  Matrix3 S{};  // C' = S C Sᵀ + A
  Matrix3 A{};
};

// The form of one vector: covariance C (cm², its own 3 x 3 before scaling), components
// vector (m) and the midpoint of its ends (XYZ, m) on the ellipsoid of semi-major axis a (m)
// and inverse flattening invF. In this order: C multiplied by the scale; the centring of both
// ends added as 2·(h², h², v²) in the local north, east, up frame at the midpoint; then every
// local variance below the floor (floor_mm² + (floor_ppm · length_km)²) raised to it by
// scaling its row and column, which keeps the correlations.
CCovLinearForm ScalingForm(const CCovScaleEntry& entry, const Matrix3& C, const Vector3& vector, const Vector3& midpoint,
                           double a, double invF);
// S_i C_ij S_jᵀ, plus A_i when the block is a vector's own (i == j).
Matrix3 ApplyScalingForm(const CCovLinearForm& formI, const Matrix3& Cij, const CCovLinearForm& formJ, bool ownBlock);

// The rotation whose rows are the local north, east and up at geodetic latitude b and
// longitude l (radians).
Matrix3 LocalFrame(double b, double l);

// Positions for the local frames: the seeds (known or approximate points, XYZ in m) and every
// point the vectors reach from them, chained along the vectors. A part of the network that no
// seed reaches is chained from the first seed's position (its frame is then only roughly
// right, and that part has no datum: the adjustment refuses it anyway).
struct CPointSeeds {
  std::vector<std::string> names;
  std::vector<Vector3> xyz;
};

// The scaling as the vectors were read with it, kept by the data set so that the full
// covariances of correlated clusters, which replace their vectors' own later, are scaled the
// same way. Empty without the scaling file.
struct CVectorScaling {
  CCovarianceScaling scaling;
  CPointSeeds seeds;
  bool Empty() const { return scaling.entries.empty(); }
};

// The form of every vector (the identity for a vector whose session has no entry), each in
// the local frame at the midpoint of its ends as chained from the seeds, from the vector's
// own covariance as it stands (for a vector of a cluster: the cluster's diagonal block).
// vectorsPerEntry, when given, receives the number of vectors of each entry.
std::vector<CCovLinearForm> ScalingForms(const CCovarianceScaling& scaling, const std::vector<CVectorRecord>& vectors,
                                         const CPointSeeds& seeds, double a, double invF,
                                         std::vector<int>* vectorsPerEntry = nullptr);

// Scales every vector whose session has an entry (its own, else the default), each in the
// local frame at the midpoint of its ends as chained from the seeds. Returns the statement of
// the entries used (ScalingStatement).
std::vector<std::string> ScaleVectors(const CCovarianceScaling& scaling, std::vector<CVectorRecord>& vectors,
                                      const CPointSeeds& seeds, double a, double invF);

// Scales the full covariances of the clusters (members: indices into vectors; cov: the 3n x 3n
// matrix, cm²) as the vectors' own are scaled: each member's form from its diagonal block in
// the cluster, then C'_ij = S_i C_ij S_jᵀ + δ_ij A_i. vectors gives the names, components and
// sessions (the covariances of vectors in no cluster play no part); one pass for all clusters.
struct CCovarianceBlock;
void ScaleClusters(const CVectorScaling& kept, std::vector<CVectorRecord> vectors, std::vector<CCovarianceBlock>& clusters,
                   double a, double invF);

// One line (GBK, newline ended) per entry used, with the number of its vectors, for the top
// of every report computed from scaled vectors.
std::vector<std::string> ScalingStatement(const CCovarianceScaling& scaling, const std::vector<int>& vectorsPerEntry);

}  // namespace vemo
