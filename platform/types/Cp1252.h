// Windows-1252 is the run-time text encoding of the suite. Sources are UTF-8; literals with accents
// are converted at compile time with the _cp suffix, and hosts convert at their edges with the
// run-time functions below.
//
//   const char* s = "Descrição"_cp;   // 9 bytes + NUL, 0xE7 0xE3 for ç and ã
//
// A literal holding a character that Windows-1252 cannot represent does not compile.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zq {

// Windows-1252 byte for a Unicode code point, or -1 when there is none. The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control points of
// the same value, as Windows' own conversion does, so every byte survives a round trip.
constexpr int Cp1252FromCodePoint(char32_t cp) {
  constexpr char32_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

constexpr char32_t Cp1252ToCodePoint(unsigned char b) {
  constexpr char32_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char32_t{b};
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns U+FFFFFFFF on malformed input.
constexpr char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) { ++i; return 0xFFFFFFFF; }
  char32_t cp = len == 1 ? b0 : (b0 & (0x7F >> len));
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) { i += k; return 0xFFFFFFFF; }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += len;
  constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFFFFFF;
  return cp;
}

// Run-time conversions for hosts. Utf8ToCp1252 fails (nullopt) on malformed UTF-8 or on a
// character with no Windows-1252 form, and tells the offending byte offset through *bad.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8, std::size_t* bad = nullptr);
std::string Cp1252ToUtf8(std::string_view cp1252);

namespace detail {
template <std::size_t N>
struct Utf8Literal {
  char text[N]{};
  consteval Utf8Literal(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
  }
  consteval std::size_t Cp1252Size() const {
    std::size_t n = 0;
    for (std::size_t i = 0; i + 1 < N; ++n) DecodeUtf8(std::string_view(text, N - 1), i);
    return n;
  }
};

template <Utf8Literal S>
struct Cp1252Literal {
  // constexpr, not consteval: the initializer of `value` already forces compile-time evaluation,
  // and clang 14 rejects a consteval member called from a static member's initializer.
  static constexpr std::array<char, S.Cp1252Size() + 1> Convert() {
    std::array<char, S.Cp1252Size() + 1> out{};
    std::string_view in(S.text, sizeof(S.text) - 1);
    std::size_t o = 0;
    for (std::size_t i = 0; i < in.size();) {
      const char32_t cp = DecodeUtf8(in, i);
      const int b = cp == 0xFFFFFFFF ? -1 : Cp1252FromCodePoint(cp);
      if (b < 0) throw "literal has a character with no Windows-1252 form";
      out[o++] = static_cast<char>(b);
    }
    return out;
  }
  static constexpr std::array<char, S.Cp1252Size() + 1> value = Convert();
};
}  // namespace detail

}  // namespace zq

template <zq::detail::Utf8Literal S>
constexpr const char* operator""_cp() {
  return zq::detail::Cp1252Literal<S>::value.data();
}
