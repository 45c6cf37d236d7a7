#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
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
  static constexpr char kDigitos[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) out += std::string(out.empty() ? "" : " ") + kDigitos[c >> 4] + kDigitos[c & 15];
  return out;
}

// "ab||cd": several results in one assertion.
std::string Junta(std::initializer_list<CString> partes) {
  std::string out;
  for (const CString& p : partes) out.append(&p == partes.begin() ? "" : "|").append(p.Str());
  return out;
}

TEST(StringTest, TrimCaseFindReplaceAndSubstrings) {
  // Only ASCII white space is trimmed and only ASCII letters change case: other bytes are text.
  const std::pair<const char*, const char*> casos[] = {  // text, Trim|TrimLeft|TrimRight
      {"\t\n\v\f\r x \r\n", "x|x \r\n|\t\n\v\f\r x"}, {"   ", "||"},
      {"\xA0x\xA0", "\xA0x\xA0|\xA0x\xA0|\xA0x\xA0"},  {"\x85x", "\x85x|\x85x|\x85x"},  // NBSP, NEL
  };
  for (const auto& [texto, esperado] : casos) {
    SCOPED_TRACE(Hex(texto));
    EXPECT_EQ(Junta({CString(texto).Trim(), CString(texto).TrimLeft(), CString(texto).TrimRight()}), esperado);
  }
  const CString a = "Ação Zz09\xC7\xE7";
  EXPECT_EQ(Junta({CString(a).MakeUpper(), CString(a).MakeLower()}), "AçãO ZZ09\xC7\xE7|ação zz09\xC7\xE7");
  const CString s = "abcabc";
  EXPECT_EQ(std::vector<int>({s.Find("bc"), s.Find("bc", 2), s.Find("bc", 5), s.Find("", 6), s.Find("a", 7),
                              s.Find("a", -1), s.Find(nullptr), s.Find('c'), s.Find('c', 3), s.Find('c', -1),
                              s.ReverseFind('a'), s.ReverseFind('z')}),
            std::vector<int>({1, 4, -1, 6, -1, -1, 0, 2, 5, -1, 3, -1}));
  const std::tuple<const char*, const char*, const char*, const char*, int> trocas[] = {  // text, from, to, result, n
      {"aaaa", "aa", "b", "bb", 2},  {"aaa", "aa", "b", "ba", 1},  {"abc", "b", "bb", "abbc", 1},  // not rescanned
      {"abc", "", "x", "abc", 0},    {"abc", nullptr, "x", "abc", 0}, {"abcb", "b", nullptr, "ac", 2},
  };
  for (const auto& [texto, de, para, esperado, vezes] : trocas) {
    SCOPED_TRACE(testing::Message() << texto << " " << (de ? de : "(null)"));
    CString t = texto;
    EXPECT_EQ(t.Replace(de, para), vezes);
    EXPECT_EQ(t, esperado);
  }
  CString t = "x.y.x";
  EXPECT_EQ(t.Replace('.', ','), 2);
  EXPECT_EQ(t.Replace(t.GetString() + 4, "ab"), 2);  // 'from' and 'to' pointing into the string being changed
  EXPECT_EQ(t.Replace(",y,", t.GetString()), 1);
  EXPECT_EQ(t, "abab,y,abab");
  const CString u = "abcdef";
  EXPECT_EQ(Junta({u.Left(2), u.Left(-1), u.Left(99), u.Right(2), u.Right(-3), u.Right(99)}), "ab||abcdef|ef||abcdef");
  EXPECT_EQ(Junta({u.Mid(2), u.Mid(6), u.Mid(7), u.Mid(-2), u.Mid(1, 3), u.Mid(4, 99), u.Mid(1, -1), u.Mid(-1, 2),
                   u.Mid(99, 2)}),
            "cdef|||abcdef|bcd|ef||ab|");
}

TEST(StringTest, FormatAccessConcatenationAndComparisons) {
  CString s;
  s.Format("%s-%d", std::string(1000, 'x').c_str(), 42);
  EXPECT_EQ(s.GetLength(), 1003);
  s.Format("%05.1f|%-3s|", 2.25, "a");
  s.AppendFormat("%s%s", s.GetString(), "!");  // its own text as an argument
  EXPECT_EQ(s, "002.2|a  |002.2|a  |!");
  for (std::size_t n : {255u, 256u}) EXPECT_EQ(StringPrintf("%s", std::string(n, 'y').c_str()).size(), n);
  EXPECT_EQ((s = "ab").GetAt(1), 'b');
  for (int i : {-1, 2}) EXPECT_THROW(s.GetAt(i), std::out_of_range) << i;
  EXPECT_THROW(s.SetAt(2, 'x'), std::out_of_range);
  s.SetAt(0, 'x');
  ((s += nullptr) += 'c') += CString("d");
  EXPECT_EQ("<" + s + '>', "<xbcd>");
  const CString comNul(std::string("a\0b", 3));  // length counts bytes, the C view stops at NUL
  EXPECT_TRUE(comNul.GetLength() == 3 && std::strlen(comNul) == 1);
  // Comparisons go by unsigned bytes; relational operators compare text, never the addresses
  // behind operator const char*.
  auto sinal = [](int c) { return (c > 0) - (c < 0); };
  EXPECT_EQ(std::vector<int>({sinal(CString("").Compare(nullptr)), sinal(CString("ABC").CompareNoCase("abc")),
                              sinal(CString("abc").CompareNoCase("ABD")), sinal(CString("abcd").CompareNoCase("ABC")),
                              sinal(CString("\xC9").CompareNoCase("z")), sinal(CString("\xC9").CompareNoCase("\xE9")),
                              sinal(CString("\xE9").Compare("z")), sinal(CString("ab").Compare("abc"))}),
            std::vector<int>({0, 0, -1, 1, 1, -1, 1, -1}));  // É and é are not folded
  EXPECT_TRUE(CString("") == nullptr);
  const std::vector<CString> v = {"b", "a", "c", "\xE9", "ab"};
  for (const CString& x : v)
    for (const CString& y : v) {
      SCOPED_TRACE(Hex(x.Str()) + " vs " + Hex(y.Str()));
      const int c = x.Compare(y);
      EXPECT_EQ(std::vector<bool>({x < y, x > y, x <= y, x >= y, x == y, x != y, x < y.GetString(), x.GetString() > y}),
                std::vector<bool>({c < 0, c > 0, c <= 0, c >= 0, c == 0, c != 0, c < 0, c > 0}));
    }
}

TEST(StringCp1252Test, LiteralsAndGoodUtf8ConvertBadUtf8IsRefused) {
  constexpr const char* kTexto = "Descrição €"_cp;
  static_assert(kTexto[7] == '\xE3' && kTexto[10] == '\x80' && kTexto[11] == '\0');
  EXPECT_EQ(Hex("“aspas” – ‰ Ÿ"_cp), Hex("\x93" "aspas\x94 \x96 \x89 \x9F"));
  std::string todos;
  for (int b = 0; b < 256; ++b) todos += static_cast<char>(b);
  const std::pair<std::string, std::string> textos[] = {  // UTF-8, Windows-1252
      {"€ ‚ ƒ „ … † ‡ ˆ ‰ Š ‹ Œ Ž ‘ ’ “ ” • – — ˜ ™ š › œ ž Ÿ",
       "\x80 \x82 \x83 \x84 \x85 \x86 \x87 \x88 \x89 \x8A \x8B \x8C \x8E \x91 \x92 \x93 \x94 "
       "\x95 \x96 \x97 \x98 \x99 \x9A \x9B \x9C \x9E \x9F"},
      {"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", "\x81\x8D\x8F\x90\x9D"},  // the five unassigned bytes
      {"", ""}, {std::string("a\0\x7F", 3), std::string("a\0\x7F", 3)}, {"\xC2\xA0\xC3\xBF", "\xA0\xFF"},
      {zq::Cp1252ToUtf8(todos), todos},  // every byte survives a round trip
  };
  for (const auto& [utf8, cp1252] : textos) {
    SCOPED_TRACE(Hex(utf8));
    EXPECT_EQ(Hex(zq::Utf8ToCp1252(utf8).value_or("refused")), Hex(cp1252));
    EXPECT_EQ(zq::Cp1252ToUtf8(cp1252), utf8);
  }
  // Malformed text, and code points without a Windows-1252 byte, are refused at their offset.
  const std::pair<std::string, std::size_t> casos[] = {
      {"ab\xC3", 2}, {"abc\xE2\x82", 3}, {"a\x80", 1}, {"a\xC3(", 1}, {"\xC0\xAF", 0}, {"x\xE0\x80\xAF", 1},
      {"\xED\xA0\x80", 0}, {"\xF4\x90\x80\x80", 0}, {"\xF8\x88\x80\x80\x80", 0}, {"a\xC4\x80", 1}, {"a\xC2\x80", 1},
      {"a\xC2\x9F", 1}, {"\xEF\xBF\xBD", 0}, {"ok \xF0\x9F\x98\x80", 3},
  };
  for (const auto& [utf8, offset] : casos) {
    SCOPED_TRACE(Hex(utf8));
    std::size_t bad = 12345;
    EXPECT_FALSE(zq::Utf8ToCp1252(utf8, &bad).has_value());
    EXPECT_EQ(bad, offset);
    EXPECT_FALSE(zq::Utf8ToCp1252(utf8).has_value());  // the offset is optional
  }
}

}  // namespace
