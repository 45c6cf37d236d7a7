#include "platform/types/Cp1252.h"

namespace zq {

std::optional<std::string> Utf8ToCp1252(std::string_view utf8, std::size_t* bad) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t at = i;
    const char32_t cp = DecodeUtf8(utf8, i);
    const int b = cp == 0xFFFFFFFF ? -1 : Cp1252FromCodePoint(cp);
    if (b < 0) {
      if (bad) *bad = at;
      return std::nullopt;
    }
    out.push_back(static_cast<char>(b));
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 8);
  for (char c : cp1252) {
    const char32_t cp = Cp1252ToCodePoint(static_cast<unsigned char>(c));
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace zq
