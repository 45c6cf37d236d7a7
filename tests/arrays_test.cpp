#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

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

TEST(ArraysTest, AddAppendSizeAndBounds) {
  CZQArrayPonteiros a;
  EXPECT_EQ(Lista(std::vector<int>{a.Add(10), a.Add(20), a.Append(CZQArrayPonteiros(a)), a.GetCount()}), "0,1,2,4");
  a.SetSize(6);
  a[0] = 5;
  a.SetAt(1, 7);
  EXPECT_EQ(Lista(a), "5,7,10,20,0,0");
  for (int i : {-1, 6}) EXPECT_THROW(a.GetAt(i), std::out_of_range) << i;
  for (int i : {-1, 6}) EXPECT_THROW(a[i], std::out_of_range) << i;
  for (int i : {-1, 6}) EXPECT_THROW(a.SetAt(i, 9), std::out_of_range) << i;
  a.SetSize(-1);
  EXPECT_EQ(a.GetUpperBound(), -1);
}

// Inserting past the end grows the array with zeros first; a bad index or count throws and changes nothing.
TEST(ArraysTest, InsertAndRemoveAt) {
  const std::tuple<char, int, int, const char*> casos[] = {  // insert 9 or remove, index, count, 1,2,3,4 after
      {'i', 0, 1, "9,1,2,3,4"}, {'i', 1, 2, "1,9,9,2,3,4"}, {'i', 4, 1, "1,2,3,4,9"}, {'i', 6, 1, "1,2,3,4,0,0,9"},
      {'i', 7, 0, "1,2,3,4,0,0,0"}, {'i', -1, 1, nullptr}, {'i', 0, -1, nullptr},   {'r', 1, 2, "1,4"},
      {'r', 0, 4, ""},          {'r', 4, 0, "1,2,3,4"},     {'r', 4, 1, nullptr},     {'r', 3, 2, nullptr},
      {'r', -1, 1, nullptr},    {'r', 0, -1, nullptr},      {'r', 1, INT_MAX, nullptr}, {'r', INT_MAX, 1, nullptr},
  };
  for (const auto& [op, indice, vezes, esperado] : casos) {
    SCOPED_TRACE(testing::Message() << op << indice << " x" << vezes);
    CZQArrayPonteiros a;
    for (unsigned long v : {1, 2, 3, 4}) a.Add(v);
    auto faz = [&, op = op, indice = indice, vezes = vezes] {
      op == 'i' ? a.InsertAt(indice, 9, vezes) : a.RemoveAt(indice, vezes);
    };
    if (esperado) faz();
    else EXPECT_THROW(faz(), std::out_of_range);
    EXPECT_EQ(Lista(a), esperado ? esperado : "1,2,3,4");
  }
}

// The inserted value may be an element of the array itself, even when the array grows.
TEST(ArraysTest, InsertAtOwnElement) {
  CZQArray_deprecated<std::string> a;
  a.Add("primeiro elemento, longo o bastante para ficar no heap");
  a.InsertAt(40, a[0]);
  a.InsertAt(0, a[40], 3);
  EXPECT_TRUE(a.GetSize() == 44 && a[0] == a[3] && a[2] == a[3] && a[43] == a[3]);  // a[3] is the first element
}

TEST(ArraysVectorTest, AddInsertRemoveAndBounds) {
  CZQVector<int> v;
  EXPECT_EQ(v.Add(1), 0);
  EXPECT_EQ(v.Add(3), 1);
  v.InsertAt(1, 2);
  v.InsertAt(v.GetSize(), 4);  // at the end
  EXPECT_EQ(Lista(v), "1,2,3,4");
  v.RemoveAt(0);
  v.InsertAt(0, v[2]);  // its own element
  for (int i : {-1, 4}) EXPECT_THROW(v.GetAt(i), std::out_of_range) << i;
  for (int i : {-1, 4}) EXPECT_THROW(v.RemoveAt(i), std::out_of_range) << i;
  for (int i : {-1, 5}) EXPECT_THROW(v.InsertAt(i, 0), std::out_of_range) << i;  // no growing, unlike the array
  EXPECT_EQ(Lista(v), "4,2,3,4");
}

}  // namespace
