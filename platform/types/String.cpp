#include "platform/types/String.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
}  // namespace

std::string StringPrintfV(const char* fmt, va_list args) {
  char buf[256];
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(buf, sizeof buf, fmt ? fmt : "", copy);
  va_end(copy);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) < sizeof buf) return std::string(buf, static_cast<std::size_t>(n));
  std::string out(static_cast<std::size_t>(n) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), fmt, args);
  out.resize(static_cast<std::size_t>(n));
  return out;
}

std::string StringPrintf(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string s = StringPrintfV(fmt, args);
  va_end(args);
  return s;
}

CString& CString::TrimLeft() {
  auto it = std::find_if_not(m_s.begin(), m_s.end(), IsSpace);
  m_s.erase(m_s.begin(), it);
  return *this;
}

CString& CString::TrimRight() {
  while (!m_s.empty() && IsSpace(m_s.back())) m_s.pop_back();
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::MakeUpper() {
  std::transform(m_s.begin(), m_s.end(), m_s.begin(), Upper);
  return *this;
}

CString& CString::MakeLower() {
  std::transform(m_s.begin(), m_s.end(), m_s.begin(), Lower);
  return *this;
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || static_cast<std::size_t>(start) > m_s.size()) return -1;
  const auto p = m_s.find(sub ? sub : "", static_cast<std::size_t>(start));
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(char c, int start) const {
  if (start < 0 || static_cast<std::size_t>(start) > m_s.size()) return -1;
  const auto p = m_s.find(c, static_cast<std::size_t>(start));
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char c) const {
  const auto p = m_s.rfind(c);
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Replace(const char* from, const char* to) {
  if (!from || !*from) return 0;
  const std::string f(from), t(to ? to : "");
  int count = 0;
  std::string out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = m_s.find(f, pos)) != std::string::npos; pos = hit + f.size()) {
    out.append(m_s, pos, hit - pos).append(t);
    ++count;
  }
  if (count) m_s = out.append(m_s, pos, std::string::npos);
  return count;
}

int CString::Replace(char from, char to) {
  int count = 0;
  for (char& c : m_s)
    if (c == from) c = to, ++count;
  return count;
}

CString CString::Left(int n) const {
  return m_s.substr(0, static_cast<std::size_t>(std::clamp(n, 0, GetLength())));
}

CString CString::Right(int n) const {
  const int k = std::clamp(n, 0, GetLength());
  return m_s.substr(m_s.size() - static_cast<std::size_t>(k));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int n) const {
  const int f = std::clamp(first, 0, GetLength());
  const int k = std::clamp(n, 0, GetLength() - f);
  return m_s.substr(static_cast<std::size_t>(f), static_cast<std::size_t>(k));
}

void CString::FormatV(const char* fmt, va_list args) { m_s = StringPrintfV(fmt, args); }

void CString::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  m_s = StringPrintfV(fmt, args);
  va_end(args);
}

void CString::AppendFormat(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  m_s += StringPrintfV(fmt, args);
  va_end(args);
}

int CString::Compare(const char* s) const { return m_s.compare(s ? s : ""); }

int CString::CompareNoCase(const char* s) const {
  const std::string_view b(s ? s : "");
  const std::size_t n = std::min(m_s.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int d = static_cast<unsigned char>(Lower(m_s[i])) - static_cast<unsigned char>(Lower(b[i]));
    if (d) return d;
  }
  return m_s.size() < b.size() ? -1 : m_s.size() > b.size() ? 1 : 0;
}
