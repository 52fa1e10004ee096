// The text viewer's GBK decoding: any bytes decode, and encode back to the same bytes.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/desktop/GbkText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const vemo::DecodedText decoded = vemo::DecodeGbkPreserving(bytes);
  if (vemo::EncodeGbkPreserving(decoded.text, decoded.crlf) != bytes) {
    std::fprintf(stderr, "the decoded text does not encode back to the file's bytes\n");
    std::abort();
  }
  return 0;
}
