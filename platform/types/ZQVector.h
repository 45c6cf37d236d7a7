// CZQVector<T>: the suite's owning vector of records (order task lines, component lines, ...).
// Value semantics; copying copies every element. Out-of-range access throws std::out_of_range.
#pragma once

#include <stdexcept>
#include <vector>

template <class T>
class CZQVector {
 public:
  int GetSize() const { return static_cast<int>(m_v.size()); }
  bool IsEmpty() const { return m_v.empty(); }
  void RemoveAll() { m_v.clear(); }
  const T& GetAt(int i) const { return m_v.at(Index(i)); }
  T& GetAt(int i) { return m_v.at(Index(i)); }
  const T& operator[](int i) const { return GetAt(i); }
  T& operator[](int i) { return GetAt(i); }
  int Add(const T& v) { m_v.push_back(v); return GetSize() - 1; }
  void RemoveAt(int i) { m_v.erase(m_v.begin() + static_cast<long>(Index(i))); }
  void InsertAt(int i, const T& v) {
    if (i < 0 || i > GetSize()) throw std::out_of_range("CZQVector::InsertAt");
    m_v.insert(m_v.begin() + i, v);
  }

  auto begin() const { return m_v.begin(); }
  auto end() const { return m_v.end(); }
  auto begin() { return m_v.begin(); }
  auto end() { return m_v.end(); }

  friend bool operator==(const CZQVector&, const CZQVector&) = default;

 private:
  std::size_t Index(int i) const {
    if (i < 0 || i >= GetSize()) throw std::out_of_range("CZQVector index");
    return static_cast<std::size_t>(i);
  }
  std::vector<T> m_v;
};
