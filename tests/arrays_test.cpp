#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <tuple>

#include "platform/types/ZQArray.h"
#include "platform/types/ZQVector.h"

namespace {

// "1,2,3", so that a whole array fits in one assertion.
template <class A>
std::string Lista(const A& a) {
  std::string out;
  for (const auto& v : a) out.append(out.empty() ? "" : ",").append(std::to_string(v));
  return out;
}

CZQArrayPonteiros De(std::initializer_list<unsigned long> valores) {
  CZQArrayPonteiros a;
  for (unsigned long v : valores) a.Add(v);
  return a;
}

// ---- CZQArray_deprecated ---------------------------------------------------------------------

TEST(ArraysTest, AddAppendSizeAndCopies) {
  CZQArrayPonteiros a;
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetUpperBound(), -1);
  EXPECT_EQ(a.Add(10), 0);
  EXPECT_EQ(a.Add(20), 1);
  EXPECT_EQ(a.Append(De({30, 40})), 2);  // index of the first appended element
  EXPECT_EQ(a.GetCount(), 4);
  a.SetSize(6);
  EXPECT_EQ(Lista(a), "10,20,30,40,0,0");
  CZQArrayPonteiros b = a;
  b[0] = 5;
  EXPECT_EQ(Lista(a), "10,20,30,40,0,0");
  EXPECT_FALSE(a == b);
  b[0] = 10;
  EXPECT_EQ(a, b);
  a.SetSize(-1);
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(b.GetData()[1], 20u);
}

TEST(ArraysTest, IndexOutsideThrows) {
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

// Inserting at or beyond the end appends, growing with default values first; removing outside
// the array throws and leaves it as it was.
TEST(ArraysTest, InsertAndRemoveAt) {
  const std::tuple<int, int, const char*> insercoes[] = {  // index, count, 9 inserted into 1,2
      {0, 1, "9,1,2"}, {1, 2, "1,9,9,2"}, {2, 1, "1,2,9"}, {4, 1, "1,2,0,0,9"},
      {1, 0, "1,2"},   {5, 0, "1,2,0,0,0"},
  };
  for (const auto& [indice, vezes, esperado] : insercoes) {
    SCOPED_TRACE(testing::Message() << indice << " x" << vezes);
    CZQArrayPonteiros a = De({1, 2});
    a.InsertAt(indice, 9, vezes);
    EXPECT_EQ(Lista(a), esperado);
  }
  CZQArrayPonteiros a = De({1, 2});
  EXPECT_THROW(a.InsertAt(-1, 9), std::out_of_range);
  EXPECT_THROW(a.InsertAt(0, 9, -1), std::out_of_range);
  EXPECT_EQ(Lista(a), "1,2");

  const std::tuple<int, int, const char*> remocoes[] = {  // index, count, left of 1,2,3,4
      {0, 1, "2,3,4"},   {3, 1, "1,2,3"},   {1, 2, "1,4"},     {0, 4, ""},
      {2, 0, "1,2,3,4"}, {4, 0, "1,2,3,4"}, {4, 1, nullptr},   {3, 2, nullptr},
      {-1, 1, nullptr},  {0, -1, nullptr},  {1, INT_MAX, nullptr}, {INT_MAX, 1, nullptr},
  };
  for (const auto& [indice, vezes, esperado] : remocoes) {
    SCOPED_TRACE(testing::Message() << indice << " x" << vezes);
    CZQArrayPonteiros r = De({1, 2, 3, 4});
    if (esperado) {
      r.RemoveAt(indice, vezes);
    } else {
      EXPECT_THROW(r.RemoveAt(indice, vezes), std::out_of_range);
    }
    EXPECT_EQ(Lista(r), esperado ? esperado : "1,2,3,4");
  }
}

// The inserted value may be an element of the array itself, even when the array grows.
TEST(ArraysTest, InsertAtOwnElement) {
  CZQArray_deprecated<std::string> a;
  a.Add("primeiro elemento, longo o bastante para ficar no heap");
  a.InsertAt(40, a[0]);
  ASSERT_EQ(a.GetSize(), 41);
  EXPECT_EQ(a[40], a[0]);
  a.InsertAt(0, a[40], 3);
  EXPECT_EQ(a[2], a[43]);
}

// ---- CZQVector -------------------------------------------------------------------------------

TEST(ArraysVectorTest, AddInsertRemoveAndBounds) {
  CZQVector<int> v;
  EXPECT_EQ(v.Add(1), 0);
  EXPECT_EQ(v.Add(3), 1);
  v.InsertAt(1, 2);
  v.InsertAt(3, 4);  // at the end
  EXPECT_EQ(Lista(v), "1,2,3,4");
  v.RemoveAt(0);
  v.InsertAt(0, v[2]);  // its own element
  EXPECT_EQ(Lista(v), "4,2,3,4");
  for (int i : {-1, 4, INT_MAX}) {
    SCOPED_TRACE(i);
    EXPECT_THROW(v.GetAt(i), std::out_of_range);
    EXPECT_THROW(v[i], std::out_of_range);
    EXPECT_THROW(v.RemoveAt(i), std::out_of_range);
  }
  EXPECT_THROW(v.InsertAt(5, 0), std::out_of_range);  // unlike CZQArray_deprecated, no growing
  EXPECT_THROW(v.InsertAt(-1, 0), std::out_of_range);
  EXPECT_EQ(Lista(v), "4,2,3,4");
  CZQVector<int> copia = v;
  copia[0] = 9;
  EXPECT_EQ(v[0], 4);
  EXPECT_FALSE(v == copia);
  copia[0] = 4;
  EXPECT_EQ(v, copia);
  v.RemoveAll();
  EXPECT_TRUE(v.IsEmpty());
}

}  // namespace
