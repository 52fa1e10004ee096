// The text viewer's encoding: a GBK file becomes editable Unicode text and back without
// losing a byte. A byte that does not decode (a stray lead byte, a byte GBK does not define,
// a NUL, a CR that is not part of a uniform CR LF line end) is held as the private-use
// character U+F700 + byte, which the viewer shows as a box and the encoder writes back as the
// byte itself. Files whose every line ends in CR LF are shown with plain line ends and saved
// with CR LF again.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vemo {

struct DecodedText {
  QString text;
  bool crlf = false;  // every line end of the file was CR LF
};

DecodedText DecodeGbkPreserving(std::string_view bytes);
std::string EncodeGbkPreserving(const QString& text, bool crlf);

// The private-use range that carries raw bytes.
constexpr char16_t kRawByteBase = 0xF700;

}  // namespace vemo
