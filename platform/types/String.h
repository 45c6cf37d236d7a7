// CString: the host framework's 8-bit string. Bytes are Windows-1252 text; the class never
// interprets them beyond ASCII white space (trimming) and ASCII letters (case changes).
// Value semantics; not thread-safe for concurrent mutation of one object.
#pragma once

#include <compare>
#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

class CString {
 public:
  CString() = default;
  CString(const char* s) : m_s(s ? s : "") {}  // NOLINT: implicit, as the framework's is
  CString(const char* s, std::size_t n) : m_s(s, n) {}
  CString(std::string s) : m_s(std::move(s)) {}  // NOLINT
  CString(std::string_view s) : m_s(s) {}        // NOLINT
  CString(std::size_t n, char c) : m_s(n, c) {}

  operator const char*() const { return m_s.c_str(); }  // NOLINT: the framework's LPCSTR
  const char* GetString() const { return m_s.c_str(); }
  const std::string& Str() const { return m_s; }
  std::string_view View() const { return m_s; }

  int GetLength() const { return static_cast<int>(m_s.size()); }
  bool IsEmpty() const { return m_s.empty(); }
  void Empty() { m_s.clear(); }
  char GetAt(int i) const { return m_s.at(static_cast<std::size_t>(i)); }
  void SetAt(int i, char c) { m_s.at(static_cast<std::size_t>(i)) = c; }

  // Removes ASCII white space (space, \t, \n, \v, \f, \r) at the ends.
  CString& Trim();
  CString& TrimLeft();
  CString& TrimRight();
  CString& MakeUpper();  // ASCII letters only
  CString& MakeLower();

  // Positions are 0-based; -1 when not found.
  int Find(const char* sub, int start = 0) const;
  int Find(char c, int start = 0) const;
  int ReverseFind(char c) const;
  // Replaces every occurrence; returns how many. An empty 'from' replaces nothing.
  int Replace(const char* from, const char* to);
  int Replace(char from, char to);

  CString Left(int n) const;
  CString Right(int n) const;
  CString Mid(int first) const;
  CString Mid(int first, int n) const;

  // printf-style; any length.
  void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* fmt, va_list args);
  void AppendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  int Compare(const char* s) const;          // <0, 0, >0 by bytes
  int CompareNoCase(const char* s) const;    // ASCII case folded

  CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
  CString& operator+=(const char* s) { m_s += s ? s : ""; return *this; }
  CString& operator+=(char c) { m_s += c; return *this; }

  friend CString operator+(CString a, const CString& b) { return a += b; }
  friend CString operator+(CString a, const char* b) { return a += b; }
  friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
  friend CString operator+(CString a, char c) { return a += c; }
  friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
  friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }
  // Byte order (unsigned), as Compare. Every relational operator is declared, not only <=>, so
  // that neither an expression nor std::less<>/std::greater<> (which look for a declared
  // operator) falls back to comparing the addresses behind operator const char*.
  friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.m_s <=> b.m_s; }
  friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }
  friend bool operator>(const CString& a, const CString& b) { return a.m_s > b.m_s; }
  friend bool operator<=(const CString& a, const CString& b) { return a.m_s <= b.m_s; }
  friend bool operator>=(const CString& a, const CString& b) { return a.m_s >= b.m_s; }
  friend std::strong_ordering operator<=>(const CString& a, const char* b) {
    return a.m_s <=> std::string_view(b ? b : "");
  }

 private:
  std::string m_s;
};

// printf-style formatting into a std::string, any length.
std::string StringPrintfV(const char* fmt, va_list args);
std::string StringPrintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
