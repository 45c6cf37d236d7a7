// CZQArray_deprecated<TYPE, ARG_TYPE>: the framework's growable array, MFC style. Indexes are
// int; GetAt/ElementAt/operator[] on an index outside 0..GetSize()-1 throw std::out_of_range
// rather than read past the end. The search operations of the data-access layer fill arrays
// of unsigned 32-bit pointers with it; an empty array means nothing was found.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/types/String.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CZQArray_deprecated {
 public:
  int GetSize() const { return static_cast<int>(m_v.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  bool IsEmpty() const { return m_v.empty(); }
  void SetSize(int n) { m_v.resize(n < 0 ? 0 : static_cast<std::size_t>(n)); }
  void RemoveAll() { m_v.clear(); }

  const TYPE& GetAt(int i) const { return m_v.at(Index(i)); }
  TYPE& ElementAt(int i) { return m_v.at(Index(i)); }
  void SetAt(int i, ARG_TYPE v) { m_v.at(Index(i)) = v; }
  const TYPE& operator[](int i) const { return GetAt(i); }
  TYPE& operator[](int i) { return ElementAt(i); }

  int Add(ARG_TYPE v) { m_v.push_back(v); return GetUpperBound(); }
  int Append(const CZQArray_deprecated& o) {
    const int first = GetSize();
    m_v.insert(m_v.end(), o.m_v.begin(), o.m_v.end());
    return first;
  }
  // Inserting at GetSize() appends; beyond it the array grows with default values, as MFC does.
  // v may be an element of this array: it is copied before the array grows.
  void InsertAt(int i, ARG_TYPE v, int count = 1) {
    if (i < 0 || count < 0) throw std::out_of_range("CZQArray_deprecated::InsertAt");
    const TYPE valor = v;
    if (i > GetSize()) SetSize(i);
    m_v.insert(m_v.begin() + i, static_cast<std::size_t>(count), valor);
  }
  void RemoveAt(int i, int count = 1) {
    if (i < 0 || count < 0 || count > GetSize() - i) throw std::out_of_range("CZQArray_deprecated::RemoveAt");
    m_v.erase(m_v.begin() + i, m_v.begin() + i + count);
  }

  const TYPE* GetData() const { return m_v.data(); }
  auto begin() const { return m_v.begin(); }
  auto end() const { return m_v.end(); }
  auto begin() { return m_v.begin(); }
  auto end() { return m_v.end(); }

  friend bool operator==(const CZQArray_deprecated&, const CZQArray_deprecated&) = default;

 private:
  static std::size_t Index(int i) {
    if (i < 0) throw std::out_of_range("CZQArray_deprecated index");
    return static_cast<std::size_t>(i);
  }
  std::vector<TYPE> m_v;
};

// The pointer arrays that the search operations answer.
using CZQArrayPonteiros = CZQArray_deprecated<unsigned long, const unsigned long&>;

// The framework's array of texts.
using CStringArray = CZQArray_deprecated<CString>;
