// Strings at their edges, arrays, stacks and the int-keyed map.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "runtime/core/core.h"

namespace {

String U(std::initializer_list<Char> units) { return String(units.begin(), int(units.size())); }

std::vector<std::string> Pieces(const Array<String>& a) {
  std::vector<std::string> out;
  for (const String& s : a) out.push_back(s.ToUtf8());
  return out;
}

typedef std::vector<std::string> Texts;

TEST(Text, PrintEncodesEachUnitAsOneToThreeBytes) {
  testing::internal::CaptureStdout();
  bbPrint(U({'A', 0x7F, 0x80, 0x7FF, 0x800, 0x20AC, 0xD83D, 0xFFFF}));
  bbPrint(String());
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xE2\x82\xAC\xED\xA0\xBD\xEF\xBF\xBF\n\n");
}

TEST(Text, NumbersAsText) {
  EXPECT_EQ(String(0).ToUtf8(), "0");
  EXPECT_EQ(String(INT_MIN).ToUtf8(), "-2147483648");
  EXPECT_EQ(String(3.0f).ToUtf8(), "3.0");
  EXPECT_EQ(String(-0.5f).ToUtf8(), "-0.5");
  EXPECT_EQ(String(0.1f).ToUtf8(), "0.10000000149011612");
  EXPECT_EQ(String(1e20f).ToUtf8(), "1.0000000200408773e+20");
  EXPECT_EQ(String(1e16).ToUtf8(), "10000000000000000.0");
  EXPECT_EQ(String(1e-5f).ToUtf8(), "9.9999997473787516e-06");
}

TEST(Text, ToIntReadsLeadingDecimal) {
  EXPECT_EQ(String("12abc").ToInt(), 12);
  EXPECT_EQ(String("abc").ToInt(), 0);
  EXPECT_EQ(String("").ToInt(), 0);
  EXPECT_EQ(String("  -42").ToInt(), -42);
  EXPECT_EQ(String("+7 8").ToInt(), 7);
  EXPECT_EQ(String("2147483647").ToInt(), INT_MAX);
  EXPECT_EQ(String("99999999999999999999").ToInt(), INT_MAX);
  EXPECT_EQ(String("-99999999999999999999").ToInt(), INT_MIN);
  // Only the first 63 units take part.
  std::string zeros(62, '0');
  EXPECT_EQ(String((zeros + "12").c_str()).ToInt(), 1);
}

TEST(Text, SplitKeepsEmptyPieces) {
  String bar("|");
  EXPECT_EQ(Pieces(String("a|b||c").Split(bar)), (Texts{"a", "b", "", "c"}));
  EXPECT_EQ(Pieces(String("abc").Split(bar)), (Texts{"abc"}));
  EXPECT_EQ(Pieces(String("|a|").Split(bar)), (Texts{"", "a", ""}));
  EXPECT_EQ(Pieces(String("").Split(bar)), (Texts{""}));
  EXPECT_EQ(Pieces(String("aaaaa").Split(String("aa"))), (Texts{"", "", "a"}));
  EXPECT_EQ(Pieces(String("x::y").Split(String("::"))), (Texts{"x", "y"}));
  EXPECT_EQ(Pieces(String("abc").Split(String())), (Texts{"a", "b", "c"}));
  EXPECT_EQ(String("").Split(String()).Length(), 0);
}

TEST(Text, JoinAndReplace) {
  String comma(",");
  EXPECT_EQ(comma.Join(Array<String>()).Length(), 0);
  String one[] = {String("solo")};
  EXPECT_EQ(comma.Join(Array<String>(one, 1)).ToUtf8(), "solo");
  String three[] = {String("a"), String(), String("c")};
  EXPECT_EQ(String(", ").Join(Array<String>(three, 3)).ToUtf8(), "a, , c");
  EXPECT_EQ(String().Join(Array<String>(three, 3)).ToUtf8(), "ac");

  EXPECT_EQ(String("aaaa").Replace(String("aa"), String("b")).ToUtf8(), "bb");
  EXPECT_EQ(String("aaa").Replace(String("aa"), String("xyz")).ToUtf8(), "xyza");
  EXPECT_EQ(String("a-b-c").Replace(String("-"), String()).ToUtf8(), "abc");
  EXPECT_EQ(String("-").Replace(String("-"), String()).Length(), 0);
  String same("no match here");
  EXPECT_EQ(same.Replace(String("zz"), String("y")).Data(), same.Data());

  c_StringStack* stack = (new c_StringStack)->m_new();
  EXPECT_EQ(stack->p_Join(comma).Length(), 0);
  stack->p_Push(String("x"));
  stack->p_Push(String("y"));
  EXPECT_EQ(stack->p_Join(comma).ToUtf8(), "x,y");
}

TEST(Text, SearchAndSlicingClampIndices) {
  String s("abcabc");
  EXPECT_EQ(s.Find(String("bc")), 1);
  EXPECT_EQ(s.Find(String("bc"), 2), 4);
  EXPECT_EQ(s.Find(String("bc"), -9), 1);
  EXPECT_EQ(s.Find(String("bc"), 5), -1);
  EXPECT_EQ(s.Find(String("abcabcd")), -1);
  EXPECT_EQ(s.FindLast(String("abc")), 3);
  EXPECT_EQ(s.FindLast(String("abc"), 2), 0);
  EXPECT_TRUE(s.StartsWith(String("abca")));
  EXPECT_FALSE(s.StartsWith(String("abcabcabc")));
  EXPECT_TRUE(s.EndsWith(String("cabc")));

  EXPECT_EQ(s.Slice(-5, 2).ToUtf8(), "ab");
  EXPECT_EQ(s.Slice(4, 100).ToUtf8(), "bc");
  EXPECT_EQ(s.Slice(4, 2).Length(), 0);
  EXPECT_EQ(s.Slice(9).Length(), 0);
  EXPECT_EQ(s.Slice(-1).ToUtf8(), "abcabc");

  int values[] = {1, 2, 3, 4};
  Array<int> a(values, 4);
  EXPECT_EQ(a.Slice(-3, 2).Length(), 2);
  EXPECT_EQ(a.Slice(3, 99)[0], 4);
  EXPECT_EQ(a.Slice(3, 1).Length(), 0);
  Array<int> grown = a.Resize(6);
  EXPECT_EQ(grown.Length(), 6);
  EXPECT_EQ(grown[3], 4);
  EXPECT_EQ(grown[5], 0);
  EXPECT_EQ(a.Resize(2).Length(), 2);
  EXPECT_EQ(a.Resize(-1).rep(), Array<int>().rep());
}

TEST(Text, EmptyStringsShareOneRepresentation) {
  String a, b(""), c = String("x").Slice(1), d = String() + String();
  EXPECT_EQ(a.Data(), b.Data());
  EXPECT_EQ(a.Data(), c.Data());
  EXPECT_EQ(a.Data(), d.Data());
  String x("abc");
  EXPECT_EQ((x + String()).Data(), x.Data());
  EXPECT_TRUE(String("ab") + String("c") == x);
  EXPECT_FALSE(String("ab") == x);
  EXPECT_LT(String("ab").Compare(x), 0);
}

TEST(Stack, GrowsByTwiceLengthPlusTenAndCopiesArrays) {
  auto* stack = (new c_StackOf<Object*>)->m_new();
  std::vector<Object*> pushed;
  for (int i = 0; i < 10; ++i) {
    pushed.push_back(new Object);
    stack->p_Push(pushed.back());
  }
  EXPECT_EQ(stack->m_data.Length(), 10);
  stack->p_Push4(new Object);
  EXPECT_EQ(stack->m_data.Length(), 30);
  EXPECT_EQ(stack->p_Length2(), 11);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(stack->p_Get(i), pushed[size_t(i)]);

  Array<Object*> out = stack->p_ToArray();
  EXPECT_EQ(out.Length(), 11);
  stack->p_Length(2);
  EXPECT_EQ(stack->p_Length2(), 2);
  EXPECT_EQ(stack->m_data[5], nullptr);
  EXPECT_EQ(out[5], pushed[5]);

  auto* copy = (new c_StackOf<Object*>)->m_new2(out);
  copy->p_Push3(out, 1, 2);
  copy->p_Push2(out, 9);
  copy->p_Push5(out);
  EXPECT_EQ(copy->p_Length2(), 11 + 2 + 2 + 11);
  EXPECT_EQ(copy->p_Get(11), out[1]);
  EXPECT_EQ(copy->p_Get(13), out[9]);
  gc_assign(out[0], (Object*)nullptr);
  EXPECT_EQ(copy->p_Get(0), pushed[0]) << "m_new2 must copy, not share";
}

// Checks the red-black properties below `node`; returns its black height.
template <class Node>
int BlackHeight(Node* node, Node* parent, long lo, long hi) {
  if (!node) return 1;
  EXPECT_EQ(node->m_parent, parent);
  EXPECT_GT(node->m_key, lo);
  EXPECT_LT(node->m_key, hi);
  if (node->m_color == 0) {
    EXPECT_TRUE(!node->m_left || node->m_left->m_color == 1) << "red node " << node->m_key << " has a red child";
    EXPECT_TRUE(!node->m_right || node->m_right->m_color == 1) << "red node " << node->m_key << " has a red child";
  }
  int left = BlackHeight(node->m_left, node, lo, node->m_key);
  int right = BlackHeight(node->m_right, node, node->m_key, hi);
  EXPECT_EQ(left, right) << "unequal black heights below " << node->m_key;
  return left + node->m_color;
}

TEST(Map, StaysRedBlackAndReplacesEqualKeys) {
  for (int order = 0; order < 3; ++order) {
    auto* map = (new c_IntMapOf<Object*>)->m_new();
    std::vector<int> keys;
    for (int i = 0; i < 2000; ++i) keys.push_back(order == 1 ? 2000 - i : i * 7 - 5000);
    if (order == 2) std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    for (int key : keys) EXPECT_TRUE(map->p_Set(key, new Object));
    ASSERT_EQ(map->m_root->m_color, 1);
    int height = BlackHeight(map->m_root, decltype(map->m_root)(nullptr), long(INT_MIN) - 1, long(INT_MAX) + 1);
    EXPECT_LE(height, 12);
    for (int key : keys) EXPECT_TRUE(map->p_Contains(key));
    EXPECT_FALSE(map->p_Contains(123456));

    Object* replacement = new Object;
    EXPECT_FALSE(map->p_Set(keys[10], replacement));
    EXPECT_EQ(map->p_Get(keys[10]), replacement);
    EXPECT_FALSE(map->p_Insert(keys[10], new Object));
    EXPECT_EQ(map->p_FindNode(keys[10])->m_value, replacement);
    EXPECT_TRUE(map->p_Insert(99999, replacement));
  }
}

}  // namespace
