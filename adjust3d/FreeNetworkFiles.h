// The text files of the free network and the stability analysis: the numbers they are read
// from (whitespace-separated items, as the reader's "%d" and "%lf" take them, checked), the
// campaign file that one free-network run writes and the stability analysis reads, and the
// lower triangle of a cofactor matrix written value by value.
//
// Matrices of order 3n are held packed (PackedIndex); a campaign of 2000 points has a
// triangle of 18 million values, written through AppendFixed (geodesy/Format.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "adjust/ReportFile.h"
#include "geodesy/Format.h"

namespace vemo {

// Writes the lower triangle of a symmetric matrix of order n, row r holding the entries
// (r, 0..r), each as "%13.4lf " and each row ending with "\n". element(r, c) gives the entry.
template <class Element>
void WriteLowerTriangle(CReportFile& file, size_t n, Element element) {
  std::string buffer;
  buffer.reserve(1 << 16);
  for (size_t r = 0; r < n; ++r) {
    for (size_t c = 0; c <= r; ++c) {
      AppendFixed(buffer, element(r, c), 13, 4);
      buffer += ' ';
      if (buffer.size() >= (1 << 16) - 64) {
        file.Write(buffer);
        buffer.clear();
      }
    }
    buffer += '\n';
  }
  file.Write(buffer);
}

// Creates a result file ("wt"); "打开文件%s出错!" when it cannot be created.
bool CreateResultFile(CReportFile& file, const std::string& path);
// Closes a result file; the write error message when it could not be completed.
bool CloseResultFile(CReportFile& file);

// The lower triangle of a packed matrix of order n.
void WritePackedTriangle(CReportFile& file, const std::vector<double>& packed, size_t n);

// The items of a file read one after another as fscanf reads them: separated by blanks,
// tabs and line ends. The reading goes by sections (the header, the point records, a
// matrix), each with the number of items that the header's point count calls for; every
// failure is reported to the person with the file named (GBK message, the application title
// as caption) and ends the reading: an item that is no finite number, a file that ends
// inside a section (damaged or truncated), items left over after the last section.
class CNumberReader {
 public:
  // path is the native path for the messages; content the whole file (or what is left of it
  // from the given line on), which must outlive the reader.
  CNumberReader(std::string path, std::string_view content, int line = 1);

  // The header "n r m0": n at least minPoints and no more than the rest of the file can hold
  // (bytesPerPoint a point, and with a triangle of order 3n, at least two characters a value
  // of it), m0 finite and not negative.
  bool Header(int& points, int& redundancy, double& m0, int minPoints, size_t bytesPerPoint, bool withTriangle);

  // Starts a section of expected items (whatGbk names it in the messages).
  void Section(const char* whatGbk, int points, size_t expected);
  // The next item of the section as it stands, and as a finite number.
  bool Item(std::string& item);
  bool Number(double& v);
  // Reads a lower triangle of order 3 points: stored into packed (which it sizes, once the
  // file is seen to be large enough to hold it) or added to packed's entries.
  bool Triangle(std::vector<double>& packed, int points, bool add, const char* whatGbk);
  // True when nothing but blanks is left; otherwise the message that the file holds more
  // than its point count calls for.
  bool AtEnd();
  // What is left to read, and its line, for a reader that goes on later.
  void Position(std::string_view& rest, int& line) const { rest = m_Rest, line = m_Line; }

 private:
  bool NextItem(std::string_view& item);
  bool Truncated();
  bool TooSmall(int points);
  bool BadItem(std::string_view item);

  std::string m_Path;
  std::string_view m_Rest;
  int m_Line = 1;
  const char* m_What = "";
  int m_Points = 0;
  size_t m_Expected = 0, m_Read = 0;
};

// The entries of a packed triangle of order 3n; 0 when n is too large to address.
size_t TriangleSize(int points);

// One campaign of a network: the file ".GPS3dFreeXXQxx" (or ".GPS3dFreeENUQenu") that the free
// network writes: header "%5d %5d %8.2lf\n" (n, r, m0), n lines "%16s %13.2lf %13.2lf %13.2lf\n"
// (name and the three components, mm), then the lower triangle of the 3n x 3n cofactor matrix.
struct CFreeCampaign {
  int pointCount = 0;
  int redundancy = 0;
  double m0 = 0.0;                // mm
  std::vector<std::string> names;  // GBK, as read
  std::vector<double> x;           // 3 per point, mm

  // Reads the whole file at path, its cofactor triangle into packed (sized here).
  bool Read(const std::string& path, std::vector<double>& packed);
  // The same in two steps, so that a second campaign's names can be matched with the first's
  // before its triangle is read: the header and the point lines (the file is kept for the
  // second step), then the triangle, stored into packed (sized here) or, with add, added to
  // packed's entries. False after the message naming the file (missing, damaged, truncated,
  // or longer than its header).
  bool ReadPoints(const std::string& path);
  bool ReadCofactors(std::vector<double>& packed, bool add);

 private:
  std::string m_Path, m_Content;
  std::string_view m_Rest;  // what ReadPoints left of m_Content
  int m_Line = 1;
};

// Writes the header and the point lines of a campaign file.
void WriteCampaignHead(CReportFile& file, int redundancy, double m0, const std::vector<std::string>& names,
                       const std::vector<double>& x);

}  // namespace vemo
