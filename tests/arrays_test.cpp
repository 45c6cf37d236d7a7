#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>

#include "platform/ZQArray.h"
#include "platform/ZQVector.h"

namespace {

// "1,2,3", so that a whole array fits in one assertion.
template <class A>
std::string Lista(const A& a) {
  std::string out;
  for (const auto& v : a) {
    if (!out.empty()) out += ',';
    out += std::to_string(v);
  }
  return out;
}

CZQArrayPonteiros De(std::initializer_list<unsigned long> valores) {
  CZQArrayPonteiros a;
  for (unsigned long v : valores) a.Add(v);
  return a;
}

// ---------------------------------------------------------------------------------------------
// CZQArray_deprecated

TEST(CZQArrayTest, AddAppendAndSize) {
  CZQArrayPonteiros a;
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetUpperBound(), -1);
  EXPECT_EQ(a.Add(10), 0);
  EXPECT_EQ(a.Add(20), 1);
  EXPECT_EQ(a.Append(De({30, 40})), 2);  // index of the first appended element
  EXPECT_EQ(Lista(a), "10,20,30,40");
  EXPECT_EQ(a.GetCount(), 4);
  a.SetSize(6);
  EXPECT_EQ(Lista(a), "10,20,30,40,0,0");
  a.SetSize(-1);
  EXPECT_TRUE(a.IsEmpty());
}

TEST(CZQArrayTest, IndexOutsideThrows) {
  CZQArrayPonteiros a = De({1, 2});
  for (int i : {-1, 2, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(i);
    EXPECT_THROW(a.GetAt(i), std::out_of_range);
    EXPECT_THROW(a.ElementAt(i), std::out_of_range);
    EXPECT_THROW(a.SetAt(i, 9), std::out_of_range);
    EXPECT_THROW(a[i], std::out_of_range);
  }
  a[1] = 7;
  a.SetAt(0, 5);
  EXPECT_EQ(Lista(a), "5,7");
}

TEST(CZQArrayTest, InsertAt) {
  struct Caso {
    int indice;
    unsigned long valor;
    int vezes;
    const char* esperado;
  };
  const Caso casos[] = {
      {0, 9, 1, "9,1,2"},
      {1, 9, 2, "1,9,9,2"},
      {2, 9, 1, "1,2,9"},        // at the end: appends
      {4, 9, 1, "1,2,0,0,9"},    // beyond the end: grows with default values first
      {1, 9, 0, "1,2"},
      {5, 9, 0, "1,2,0,0,0"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << c.indice << " x" << c.vezes);
    CZQArrayPonteiros a = De({1, 2});
    a.InsertAt(c.indice, c.valor, c.vezes);
    EXPECT_EQ(Lista(a), c.esperado);
  }
  CZQArrayPonteiros a = De({1, 2});
  EXPECT_THROW(a.InsertAt(-1, 9), std::out_of_range);
  EXPECT_THROW(a.InsertAt(0, 9, -1), std::out_of_range);
  EXPECT_EQ(Lista(a), "1,2");
}

// The inserted value may be an element of the array itself, even when the array grows.
TEST(CZQArrayTest, InsertAtOwnElement) {
  CZQArray_deprecated<std::string> a;
  a.Add("primeiro elemento, longo o bastante para ficar no heap");
  a.InsertAt(40, a[0]);
  ASSERT_EQ(a.GetSize(), 41);
  EXPECT_EQ(a[40], a[0]);
  a.InsertAt(0, a[40], 3);
  EXPECT_EQ(a[2], a[43]);
}

TEST(CZQArrayTest, RemoveAt) {
  struct Caso {
    int indice, vezes;
    const char* esperado;  // nullptr: throws and leaves the array as it was
  };
  const Caso casos[] = {
      {0, 1, "2,3,4"}, {3, 1, "1,2,3"}, {1, 2, "1,4"}, {0, 4, ""}, {2, 0, "1,2,3,4"},
      {4, 0, "1,2,3,4"}, {4, 1, nullptr}, {3, 2, nullptr}, {-1, 1, nullptr}, {0, -1, nullptr},
      {1, INT_MAX, nullptr}, {INT_MAX, 1, nullptr},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << c.indice << " x" << c.vezes);
    CZQArrayPonteiros a = De({1, 2, 3, 4});
    if (!c.esperado) {
      EXPECT_THROW(a.RemoveAt(c.indice, c.vezes), std::out_of_range);
      EXPECT_EQ(Lista(a), "1,2,3,4");
      continue;
    }
    a.RemoveAt(c.indice, c.vezes);
    EXPECT_EQ(Lista(a), c.esperado);
  }
}

TEST(CZQArrayTest, CopiesAreIndependentAndCompareByElements) {
  CZQArrayPonteiros a = De({1, 2});
  CZQArrayPonteiros b = a;
  EXPECT_EQ(a, b);
  b[0] = 5;
  EXPECT_EQ(Lista(a), "1,2");
  EXPECT_FALSE(a == b);
  a.RemoveAll();
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(b.GetData()[1], 2u);
}

// ---------------------------------------------------------------------------------------------
// CZQVector

TEST(CZQVectorTest, AddInsertRemove) {
  CZQVector<int> v;
  EXPECT_EQ(v.Add(1), 0);
  EXPECT_EQ(v.Add(3), 1);
  v.InsertAt(1, 2);
  v.InsertAt(3, 4);  // at the end
  EXPECT_EQ(Lista(v), "1,2,3,4");
  v.RemoveAt(0);
  EXPECT_EQ(Lista(v), "2,3,4");
  v.InsertAt(0, v[2]);  // its own element
  EXPECT_EQ(Lista(v), "4,2,3,4");
  v.RemoveAll();
  EXPECT_TRUE(v.IsEmpty());
}

TEST(CZQVectorTest, IndexOutsideThrows) {
  CZQVector<int> v;
  v.Add(1);
  for (int i : {-1, 1, INT_MAX}) {
    SCOPED_TRACE(i);
    EXPECT_THROW(v.GetAt(i), std::out_of_range);
    EXPECT_THROW(v[i], std::out_of_range);
    EXPECT_THROW(v.RemoveAt(i), std::out_of_range);
  }
  EXPECT_THROW(v.InsertAt(2, 0), std::out_of_range);  // unlike CZQArray_deprecated, no growing
  EXPECT_THROW(v.InsertAt(-1, 0), std::out_of_range);
  EXPECT_EQ(Lista(v), "1");
}

TEST(CZQVectorTest, CopyIsDeep) {
  CZQVector<std::string> a;
  a.Add("x");
  CZQVector<std::string> b = a;
  b[0] += "y";
  EXPECT_EQ(a[0], "x");
  EXPECT_EQ(b[0], "xy");
  EXPECT_FALSE(a == b);
  b[0] = "x";
  EXPECT_EQ(a, b);
}

}  // namespace
