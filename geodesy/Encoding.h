// Text encoding of the system: project files and point names are GBK (code page 936) bytes,
// the terminal and file names on disk are UTF-8. The system's own texts are written in the
// source as UTF-8 literals and converted once, through T(), before they are formatted, so
// that printf field widths count GBK bytes exactly as on the original platform.
#pragma once

#include <string>
#include <string_view>

namespace vemo {

// GBK bytes -> UTF-8. Bytes that do not decode become U+FFFD; never fails.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 -> GBK. Characters without a GBK form (and malformed UTF-8) become '?'; never fails.
std::string Utf8ToGbk(std::string_view utf8);

// The first character of a UTF-8 text that GBK cannot hold (Utf8ToGbk would turn it into
// '?'), as its code point; a malformed byte gives its own value. 0 when the whole text has a
// GBK form.
char32_t FirstCharacterWithoutGbk(std::string_view utf8);

// UTF-16LE code units -> GBK, for the Unicode strings an archive may hold.
std::string Utf16ToGbk(const char16_t* text, size_t count);

// The GBK form of one of the system's own UTF-8 literals. The conversion is done once per
// literal and cached for the run; the pointer stays valid until the program ends.
const char* T(const char* utf8Literal);

// True for a byte that starts a two-byte GBK character.
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Trim blanks (space, tab, CR, LF, vertical tab, form feed) at both ends. A GBK trail byte
// can never be one of these, so byte-wise trimming is safe for GBK.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Upper-case the single-byte ASCII letters; a GBK lead byte and the byte after it are kept,
// so Chinese characters whose trail byte is a letter's code stay unchanged.
std::string UpperGbk(std::string_view text);

// Trim and upper-case: the normal form of point names and coordinate system names.
inline std::string NormalizeName(std::string_view text) { return UpperGbk(Trim(text)); }

// Whether needle occurs in text starting on a character boundary: a match that begins on the
// trail byte of a GBK character is no match.
bool ContainsGbk(std::string_view text, std::string_view needle);

// ASCII case-insensitive comparison, multibyte-aware like UpperGbk.
bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace vemo
