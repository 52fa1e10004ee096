#include "project/Archive.h"

#include <bit>
#include <cstring>
#include <vector>

#include "geodesy/Encoding.h"

namespace vemo {

static_assert(std::endian::native == std::endian::little, "the project file is little-endian");
static_assert(sizeof(double) == 8);

void ArchiveWriter::WriteRaw(const void* data, size_t size) {
  m_Bytes.append(static_cast<const char*>(data), size);
}

void ArchiveWriter::WriteInt32(int32_t value) { WriteRaw(&value, sizeof value); }

void ArchiveWriter::WriteDouble(double value) { WriteRaw(&value, sizeof value); }

void ArchiveWriter::WriteString(std::string_view gbk) {
  const size_t n = gbk.size();
  if (n < 0xFF) {
    uint8_t b = static_cast<uint8_t>(n);
    WriteRaw(&b, 1);
  } else if (n < 0xFFFE) {
    uint8_t b = 0xFF;
    uint16_t w = static_cast<uint16_t>(n);
    WriteRaw(&b, 1);
    WriteRaw(&w, 2);
  } else {
    uint8_t b = 0xFF;
    uint16_t w = 0xFFFF;
    uint32_t d = static_cast<uint32_t>(n);
    WriteRaw(&b, 1);
    WriteRaw(&w, 2);
    WriteRaw(&d, 4);
  }
  WriteRaw(gbk.data(), n);
}

void ArchiveReader::ReadRaw(void* data, size_t size) {
  if (size > Remaining()) throw ArchiveError("unexpected end of the project file");
  // An empty Unicode string has no storage to copy into (data may be null).
  if (size == 0) return;
  std::memcpy(data, m_Bytes.data() + m_Pos, size);
  m_Pos += size;
}

int32_t ArchiveReader::ReadInt32() {
  int32_t v;
  ReadRaw(&v, sizeof v);
  return v;
}

double ArchiveReader::ReadDouble() {
  double v;
  ReadRaw(&v, sizeof v);
  return v;
}

uint64_t ArchiveReader::ReadLength() {
  uint8_t b;
  ReadRaw(&b, 1);
  if (b < 0xFF) return b;
  uint16_t w;
  ReadRaw(&w, 2);
  if (w < 0xFFFE) return w;
  if (w == 0xFFFE) return UINT64_MAX;  // the Unicode marker, handled by the caller
  uint32_t d;
  ReadRaw(&d, 4);
  return d;
}

std::string ArchiveReader::ReadString() {
  uint64_t n = ReadLength();
  bool unicode = false;
  if (n == UINT64_MAX) {
    unicode = true;
    n = ReadLength();
    if (n == UINT64_MAX) throw ArchiveError("damaged string prefix in the project file");
  }
  const uint64_t bytes = unicode ? n * 2 : n;
  if (bytes > Remaining()) throw ArchiveError("string longer than the rest of the project file");
  if (!unicode) {
    std::string s(m_Bytes.substr(m_Pos, static_cast<size_t>(n)));
    m_Pos += static_cast<size_t>(n);
    return s;
  }
  std::vector<char16_t> units(static_cast<size_t>(n));
  ReadRaw(units.data(), static_cast<size_t>(bytes));
  return Utf16ToGbk(units.data(), units.size());
}

int32_t ArchiveReader::ReadCount(size_t minRecordSize) {
  int32_t n = ReadInt32();
  if (n < 0) throw ArchiveError("negative count in the project file");
  if (minRecordSize > 0 && static_cast<uint64_t>(n) > Remaining() / minRecordSize)
    throw ArchiveError("count larger than the rest of the project file can hold");
  return n;
}

}  // namespace vemo
