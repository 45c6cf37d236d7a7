#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/types/Cp1252.h"
#include "platform/types/String.h"

namespace {

// Bytes as hex, so that Windows-1252 output reads in a failure message.
std::string Hex(std::string_view s) {
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out += ' ';
    out.append(1, "0123456789ABCDEF"[c >> 4]).append(1, "0123456789ABCDEF"[c & 15]);
  }
  return out;
}

// ---- CString ---------------------------------------------------------------------------------

// Only ASCII white space is trimmed and only ASCII letters change case: other bytes are text.
TEST(StringTest, TrimAndCaseTouchAsciiOnly) {
  const std::tuple<const char*, const char*, const char*, const char*> casos[] = {
      // text, Trim, TrimLeft, TrimRight
      {"  a b  ", "a b", "a b  ", "  a b"},
      {"\t\n\v\f\r x \r\n", "x", "x \r\n", "\t\n\v\f\r x"},
      {"   ", "", "", ""},
      {"", "", "", ""},
      {"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},  // NBSP
      {"\x85x", "\x85x", "\x85x", "\x85x"},
  };
  for (const auto& [texto, trim, esquerda, direita] : casos) {
    SCOPED_TRACE(Hex(texto));
    EXPECT_EQ(Hex(CString(texto).Trim().View()), Hex(trim));
    EXPECT_EQ(Hex(CString(texto).TrimLeft().View()), Hex(esquerda));
    EXPECT_EQ(Hex(CString(texto).TrimRight().View()), Hex(direita));
  }
  const CString s = "Ação Zz09\xC7\xE7";
  EXPECT_EQ(Hex(CString(s).MakeUpper().View()), Hex("AçãO ZZ09\xC7\xE7"));
  EXPECT_EQ(Hex(CString(s).MakeLower().View()), Hex("ação zz09\xC7\xE7"));
}

TEST(StringTest, FindAndReplace) {
  const CString s = "abcabc";
  const std::tuple<const char*, int, int> busca[] = {  // sub, start, found at
      {"bc", 0, 1}, {"bc", 2, 4}, {"bc", 5, -1}, {"x", 0, -1},  {"", 3, 3},
      {"", 6, 6},   {"a", 6, -1}, {"a", 7, -1},  {"a", -1, -1}, {nullptr, 0, 0},
  };
  for (const auto& [sub, inicio, esperado] : busca) {
    SCOPED_TRACE(testing::Message() << (sub ? sub : "(null)") << " from " << inicio);
    EXPECT_EQ(s.Find(sub, inicio), esperado);
  }
  EXPECT_EQ(s.Find('c'), 2);
  EXPECT_EQ(s.Find('c', 3), 5);
  EXPECT_EQ(s.Find('c', -1), -1);
  EXPECT_EQ(s.ReverseFind('a'), 3);
  EXPECT_EQ(s.ReverseFind('z'), -1);

  const std::tuple<const char*, const char*, const char*, const char*, int> trocas[] = {
      // text, from, to, result, count
      {"aaaa", "aa", "b", "bb", 2},   {"aaa", "aa", "b", "ba", 1},
      {"abc", "b", "bb", "abbc", 1},  // the replacement is not searched again
      {"abc", "", "x", "abc", 0},     {"abc", nullptr, "x", "abc", 0},
      {"abcb", "b", nullptr, "ac", 2}, {"abc", "x", "y", "abc", 0},
      {"ZQ_A ZQ_A", "ZQ_A", "valor", "valor valor", 2},
  };
  for (const auto& [texto, de, para, esperado, vezes] : trocas) {
    SCOPED_TRACE(testing::Message() << texto << " " << (de ? de : "(null)"));
    CString t = texto;
    EXPECT_EQ(t.Replace(de, para), vezes);
    EXPECT_EQ(t, esperado);
  }
  CString t = "a.b.c";
  EXPECT_EQ(t.Replace('.', ','), 2);
  EXPECT_EQ(t, "a,b,c");
  t = "xyx";  // 'from' and 'to' pointing into the string being changed
  EXPECT_EQ(t.Replace(t.GetString() + 2, "ab"), 2);
  EXPECT_EQ(t, "abyab");
  EXPECT_EQ(t.Replace("y", t.GetString()), 1);
  EXPECT_EQ(t, "ababyabab");
}

TEST(StringTest, LeftRightMidClampOutOfRangeArguments) {
  const CString s = "abcdef";
  const std::pair<CString, const char*> casos[] = {
      {s.Left(2), "ab"},    {s.Left(0), ""},      {s.Left(-1), ""},   {s.Left(99), "abcdef"},
      {s.Right(2), "ef"},   {s.Right(0), ""},     {s.Right(-3), ""},  {s.Right(99), "abcdef"},
      {s.Mid(2), "cdef"},   {s.Mid(6), ""},       {s.Mid(7), ""},     {s.Mid(-2), "abcdef"},
      {s.Mid(1, 3), "bcd"}, {s.Mid(4, 99), "ef"}, {s.Mid(1, -1), ""}, {s.Mid(-1, 2), "ab"},
      {s.Mid(99, 2), ""},
  };
  for (std::size_t i = 0; i < std::size(casos); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(casos[i].first, casos[i].second);
  }
}

TEST(StringTest, FormatAccessAndConcatenation) {
  CString s;
  s.Format("%s-%d", std::string(1000, 'x').c_str(), 42);
  EXPECT_EQ(s.GetLength(), 1003);
  EXPECT_EQ(s.Right(3), "-42");
  s.Format("%05.1f|%-3s|", 2.25, "a");
  EXPECT_EQ(s, "002.2|a  |");
  s.AppendFormat("%s%s", s.GetString(), "!");  // its own text as an argument
  EXPECT_EQ(s, "002.2|a  |002.2|a  |!");
  for (std::size_t n : {255u, 256u})
    EXPECT_EQ(StringPrintf("%s", std::string(n, 'y').c_str()).size(), n);

  s = "ab";
  EXPECT_EQ(s.GetAt(1), 'b');
  EXPECT_THROW(s.GetAt(2), std::out_of_range);
  EXPECT_THROW(s.GetAt(-1), std::out_of_range);
  EXPECT_THROW(s.SetAt(2, 'x'), std::out_of_range);
  s.SetAt(0, 'x');
  s += nullptr;
  s += 'c';
  s += CString("d");
  EXPECT_EQ("<" + s + ">", "<xbcd>");
  EXPECT_EQ(CString(3, '-') + '!', "---!");
  EXPECT_EQ(CString(nullptr), "");
  const CString comNul(std::string("a\0b", 3));  // length counts bytes, the C view stops at NUL
  EXPECT_EQ(comNul.GetLength(), 3);
  EXPECT_STREQ(comNul, "a");
}

// Comparisons go by unsigned bytes; relational operators compare text, never the addresses
// behind operator const char*.
TEST(StringTest, ComparisonsUseUnsignedBytes) {
  EXPECT_GT(CString("\xE9").Compare("z"), 0);
  EXPECT_LT(CString("ab").Compare("abc"), 0);
  EXPECT_EQ(CString("").Compare(nullptr), 0);
  EXPECT_TRUE(CString("") == nullptr);
  EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
  EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
  EXPECT_GT(CString("abcd").CompareNoCase("ABC"), 0);
  EXPECT_GT(CString("\xC9").CompareNoCase("z"), 0);
  EXPECT_NE(CString("\xC9").CompareNoCase("\xE9"), 0);  // É and é are not folded

  const std::vector<CString> v = {"b", "a", "c", "\xE9", "ab"};
  for (const CString& x : v)
    for (const CString& y : v) {
      SCOPED_TRACE(Hex(x.Str()) + " vs " + Hex(y.Str()));
      const int c = x.Compare(y);
      EXPECT_EQ(std::vector<bool>({x < y, x > y, x <= y, x >= y, x == y, x != y,
                                   x < y.GetString(), x.GetString() > y}),
                std::vector<bool>({c < 0, c > 0, c <= 0, c >= 0, c == 0, c != 0, c < 0, c > 0}));
    }
  std::vector<CString> ordenado = v;
  std::sort(ordenado.begin(), ordenado.end(), std::greater<>());
  EXPECT_EQ(ordenado, (std::vector<CString>{"\xE9", "c", "b", "ab", "a"}));
  std::sort(ordenado.begin(), ordenado.end(), std::less<>());
  EXPECT_EQ(ordenado, (std::vector<CString>{"a", "ab", "b", "c", "\xE9"}));
  EXPECT_TRUE(std::less<>()(CString("a"), "b"));
  EXPECT_TRUE(std::less_equal<>()("a", CString("b")));
}

// ---- Windows-1252 ----------------------------------------------------------------------------

TEST(StringCp1252Test, LiteralsConvertAtCompileTime) {
  constexpr const char* kTexto = "Descrição €"_cp;
  static_assert(kTexto[7] == '\xE3' && kTexto[10] == '\x80' && kTexto[11] == '\0');
  EXPECT_EQ(Hex(kTexto), Hex("Descri\xE7\xE3o \x80"));
  EXPECT_EQ(Hex("“aspas” – ‰ Ÿ"_cp), Hex("\x93" "aspas\x94 \x96 \x89 \x9F"));
  EXPECT_STREQ(""_cp, "");
}

TEST(StringCp1252Test, CodePointsAndGoodUtf8Convert) {
  const std::pair<char32_t, int> pontos[] = {  // code point, byte (-1: none)
      {U'A', 0x41},   {0x00, 0x00},   {0x7F, 0x7F},   {0x20AC, 0x80}, {0x201A, 0x82},
      {0x0178, 0x9F}, {0x00A0, 0xA0}, {0x00FF, 0xFF}, {0x2122, 0x99}, {0x0081, 0x81},
      {0x008D, 0x8D}, {0x008F, 0x8F}, {0x0090, 0x90}, {0x009D, 0x9D}, {0x0080, -1},
      {0x0082, -1},   {0x009F, -1},   {0x0100, -1},   {0xFFFD, -1},   {0x1F600, -1},
  };
  for (const auto& [cp, byte] : pontos) {
    SCOPED_TRACE(testing::Message() << std::hex << static_cast<unsigned>(cp));
    EXPECT_EQ(zq::Cp1252FromCodePoint(cp), byte);
    if (byte >= 0) {
      EXPECT_EQ(zq::Cp1252ToCodePoint(static_cast<unsigned char>(byte)), cp);
    }
  }
  std::string todos;
  for (int b = 0; b < 256; ++b) todos += static_cast<char>(b);
  const std::pair<std::string, std::string> textos[] = {  // UTF-8, Windows-1252
      {"", ""},
      {"Manutenção", "Manuten\xE7\xE3o"},
      {"€ ‚ ƒ „ … † ‡ ˆ ‰ Š ‹ Œ Ž ‘ ’ “ ” • – — ˜ ™ š › œ ž Ÿ",
       "\x80 \x82 \x83 \x84 \x85 \x86 \x87 \x88 \x89 \x8A \x8B \x8C \x8E \x91 \x92 \x93 \x94 "
       "\x95 \x96 \x97 \x98 \x99 \x9A \x9B \x9C \x9E \x9F"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\xC2\x81\xC2\x9D", "\x81\x9D"},
      {zq::Cp1252ToUtf8(todos), todos},  // every byte survives a round trip
  };
  for (const auto& [utf8, cp1252] : textos) {
    SCOPED_TRACE(Hex(utf8));
    const std::optional<std::string> r = zq::Utf8ToCp1252(utf8);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(Hex(*r), Hex(cp1252));
    EXPECT_EQ(zq::Cp1252ToUtf8(cp1252), utf8);
  }
}

TEST(StringCp1252Test, BadUtf8IsRefusedAtItsOffset) {
  const std::tuple<const char*, std::string, std::size_t> casos[] = {
      {"truncated 2-byte", "ab\xC3", 2},     {"truncated 3-byte", "abc\xE2\x82", 3},
      {"lone continuation", "a\x80", 1},     {"bad continuation", "a\xC3(", 1},
      {"overlong slash", "\xC0\xAF", 0},     {"overlong 3-byte", "x\xE0\x80\xAF", 1},
      {"surrogate", "\xED\xA0\x80", 0},      {"beyond U+10FFFF", "\xF4\x90\x80\x80", 0},
      {"F8 lead", "\xF8\x88\x80\x80\x80", 0}, {"no Windows-1252 form", "a\xC4\x80", 1},  // U+0100
      {"unassigned C1", "a\xC2\x80", 1},     {"emoji", "ok \xF0\x9F\x98\x80", 3},
  };
  for (const auto& [nome, utf8, offset] : casos) {
    SCOPED_TRACE(nome);
    std::size_t bad = 12345;
    EXPECT_FALSE(zq::Utf8ToCp1252(utf8, &bad).has_value());
    EXPECT_EQ(bad, offset);
    EXPECT_FALSE(zq::Utf8ToCp1252(utf8).has_value());  // the offset is optional
  }
}

}  // namespace
