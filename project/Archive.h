// The binary stream of the project file: little-endian int32 and IEEE-754 doubles, strings as
// a length prefix and GBK bytes. A length below 255 is one byte; below 0xFFFE it is 0xFF and a
// 16-bit length; otherwise 0xFF, 0xFFFF and a 32-bit length. The reader also accepts the
// marker 0xFF 0xFFFE, which announces a string of UTF-16 characters (length in characters,
// in the same forms), and converts it to GBK.
//
// The reader never trusts the stream: every length and count is checked against the bytes
// that remain before anything is allocated.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vemo {

// A premature end of the stream or an impossible length.
class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ArchiveWriter {
 public:
  void WriteInt32(int32_t value);
  void WriteDouble(double value);
  void WriteString(std::string_view gbk);
  const std::string& Bytes() const { return m_Bytes; }

 private:
  void WriteRaw(const void* data, size_t size);
  std::string m_Bytes;
};

class ArchiveReader {
 public:
  explicit ArchiveReader(std::string_view bytes) : m_Bytes(bytes) {}
  int32_t ReadInt32();
  double ReadDouble();
  std::string ReadString();
  // A count of records that each need at least minRecordSize bytes; a count that the rest of
  // the stream cannot hold is an error.
  int32_t ReadCount(size_t minRecordSize);
  size_t Remaining() const { return m_Bytes.size() - m_Pos; }

 private:
  void ReadRaw(void* data, size_t size);
  uint64_t ReadLength();
  std::string_view m_Bytes;
  size_t m_Pos = 0;
};

}  // namespace vemo
