// Strings at their edges, arrays, stacks and the int-keyed map.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "runtime/core/core.h"

namespace {

typedef std::vector<std::string> Texts;

String U(std::initializer_list<Char> units) { return String(units.begin(), int(units.size())); }

Texts Pieces(const Array<String>& a) {
  Texts out;
  for (const String& s : a) out.push_back(s.ToUtf8());
  return out;
}

Array<String> Strings(const Texts& texts) {
  Array<String> out(int(texts.size()));
  for (int i = 0; i < out.Length(); ++i) out[i] = String(texts[size_t(i)].c_str());
  return out;
}

TEST(Text, PrintEncodesEachUnitAsOneToThreeBytes) {
  testing::internal::CaptureStdout();
  bbPrint(U({'A', 0x7F, 0x80, 0x7FF, 0x800, 0x20AC, 0xD83D, 0xFFFF}));
  bbPrint(String());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xE2\x82\xAC\xED\xA0\xBD\xEF\xBF\xBF\n\n");
}

TEST(Text, NumbersToTextAndBack) {
  const std::pair<String, const char*> shown[] = {
      {String(0), "0"}, {String(INT_MIN), "-2147483648"}, {String(3.0f), "3.0"}, {String(-0.5f), "-0.5"},
      {String(0.1f), "0.10000000149011612"}, {String(1e20f), "1.0000000200408773e+20"},
      {String(1e16), "10000000000000000.0"}, {String(1e-5f), "9.9999997473787516e-06"}};
  for (const auto& [text, expected] : shown) EXPECT_EQ(text.ToUtf8(), expected);
  // Only the first 63 units take part.
  const std::pair<std::string, int> read[] = {
      {"12abc", 12}, {"abc", 0}, {"", 0}, {"  -42", -42}, {"+7 8", 7}, {"2147483647", INT_MAX},
      {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}, {std::string(62, '0') + "12", 1}};
  for (const auto& [text, value] : read) EXPECT_EQ(String(text.c_str()).ToInt(), value) << text;
}

TEST(Text, SplitJoinAndReplace) {
  const struct {
    const char *text, *separator;
    Texts pieces;
  } splits[] = {{"a|b||c", "|", {"a", "b", "", "c"}}, {"abc", "|", {"abc"}},         {"|a|", "|", {"", "a", ""}},
                {"", "|", {""}},                      {"aaaaa", "aa", {"", "", "a"}}, {"x::y", "::", {"x", "y"}},
                {"abc", "", {"a", "b", "c"}},         {"", "", {}}};
  for (const auto& c : splits) EXPECT_EQ(Pieces(String(c.text).Split(String(c.separator))), c.pieces) << c.text;
  const struct {
    const char* separator;
    Texts pieces;
    const char* joined;
  } joins[] = {{",", {}, ""}, {",", {"solo"}, "solo"}, {", ", {"a", "", "c"}, "a, , c"}, {"", {"a", "", "c"}, "ac"}};
  for (const auto& c : joins) EXPECT_EQ(String(c.separator).Join(Strings(c.pieces)).ToUtf8(), c.joined);
  const struct {
    const char *text, *search, *replacement, *result;
  } replaces[] = {
      {"aaaa", "aa", "b", "bb"}, {"aaa", "aa", "xyz", "xyza"}, {"a-b-c", "-", "", "abc"}, {"-", "-", "", ""}};
  for (const auto& c : replaces) {
    EXPECT_EQ(String(c.text).Replace(String(c.search), String(c.replacement)).ToUtf8(), c.result) << c.text;
  }
  String same("no match here");
  EXPECT_EQ(same.Replace(String("zz"), String("y")).Data(), same.Data());

  c_StringStack* stack = (new c_StringStack)->m_new();
  EXPECT_EQ(stack->p_Join(String(",")).Length(), 0);
  stack->p_Push(String("x"));
  stack->p_Push(String("y"));
  EXPECT_EQ(stack->p_Join(String(",")).ToUtf8(), "x,y");
}

TEST(Text, SearchAndSlicingClampIndices) {
  String s("abcabc");
  EXPECT_EQ((std::vector<int>{s.Find(String("bc")), s.Find(String("bc"), 2), s.Find(String("bc"), -9),
                              s.Find(String("bc"), 5), s.Find(String("abcabcd")), s.FindLast(String("abc")),
                              s.FindLast(String("abc"), 2)}),
            (std::vector<int>{1, 4, 1, -1, -1, 3, 0}));
  EXPECT_TRUE(s.StartsWith(String("abca")) && s.EndsWith(String("cabc")));
  EXPECT_FALSE(s.StartsWith(String("abcabcabc")));
  EXPECT_EQ((Texts{s.Slice(-5, 2).ToUtf8(), s.Slice(4, 100).ToUtf8(), s.Slice(4, 2).ToUtf8(), s.Slice(9).ToUtf8(),
                   s.Slice(-1).ToUtf8()}),
            (Texts{"ab", "bc", "", "", "abcabc"}));

  int values[] = {1, 2, 3, 4};
  Array<int> a(values, 4);
  Array<int> grown = a.Resize(6);
  EXPECT_EQ((std::vector<int>{a.Slice(-3, 2).Length(), a.Slice(3, 99)[0], a.Slice(3, 1).Length(), grown.Length(),
                              grown[3], grown[5], a.Resize(2).Length()}),
            (std::vector<int>{2, 4, 0, 6, 4, 0, 2}));
  EXPECT_EQ(a.Resize(-1).rep(), Array<int>().rep());
}

TEST(Text, EmptyStringsShareOneRepresentation) {
  String a, b(""), c = String("x").Slice(1), d = String() + String();
  EXPECT_TRUE(a.Data() == b.Data() && a.Data() == c.Data() && a.Data() == d.Data());
  String x("abc");
  EXPECT_EQ((x + String()).Data(), x.Data());
  EXPECT_TRUE(String("ab") + String("c") == x);
  EXPECT_FALSE(String("ab") == x);
  EXPECT_LT(String("ab").Compare(x), 0);
}

// Pushing grows the store (its growth rule is the code's own); cutting the
// length clears what was cut; m_new2 and the Push variants copy.
TEST(Stack, KeepsWhatWasPushedAndCopiesArrays) {
  auto* stack = (new c_StackOf<Object*>)->m_new();
  std::vector<Object*> pushed;
  for (int i = 0; i < 11; ++i) {
    pushed.push_back(new Object);
    stack->p_Push4(pushed.back());
  }
  Array<Object*> out = stack->p_ToArray();
  EXPECT_EQ(std::vector<Object*>(out.begin(), out.end()), pushed);
  stack->p_Length(2);
  EXPECT_EQ(stack->p_Length2(), 2);
  EXPECT_EQ(stack->m_data[5], nullptr) << "elements cut off are cleared";

  auto* copy = (new c_StackOf<Object*>)->m_new2(out);
  copy->p_Push3(out, 1, 2);
  copy->p_Push2(out, 9);
  copy->p_Push5(out);
  EXPECT_EQ(copy->p_Length2(), 11 + 2 + 2 + 11);
  EXPECT_EQ((std::vector<Object*>{copy->p_Get(11), copy->p_Get(13)}), (std::vector<Object*>{out[1], out[9]}));
  gc_assign(out[0], (Object*)nullptr);
  EXPECT_EQ(copy->p_Get(0), pushed[0]) << "m_new2 must copy, not share";
}

// Checks the red-black and search-tree properties below `node`; returns
// its black height.
template <class Node>
int BlackHeight(Node* node, Node* parent, long lo, long hi) {
  if (!node) return 1;
  EXPECT_EQ(node->m_parent, parent);
  EXPECT_TRUE(node->m_key > lo && node->m_key < hi) << node->m_key << " out of order";
  if (node->m_color == 0) {
    for (Node* child : {node->m_left, node->m_right}) EXPECT_TRUE(!child || child->m_color == 1) << node->m_key;
  }
  int left = BlackHeight(node->m_left, node, lo, node->m_key);
  int right = BlackHeight(node->m_right, node, node->m_key, hi);
  EXPECT_EQ(left, right) << "unequal black heights below " << node->m_key;
  return left + node->m_color;
}

TEST(Map, StaysRedBlackAndReplacesEqualKeys) {
  for (int order = 0; order < 3; ++order) {
    auto* map = (new c_IntMapOf<Object*>)->m_new();
    // Ascending, descending, and shuffled over the whole int range with
    // both ends, where a subtraction of keys overflows.
    std::vector<int> keys{INT_MIN, INT_MAX};
    for (long i = 0; i < 2000; ++i) {
      keys.push_back(int(order == 0 ? i * 7 - 5000 : order == 1 ? 2000 - i : i * 2147483 - 2147483000));
    }
    if (order == 2) std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    for (int key : keys) EXPECT_TRUE(map->p_Set(key, new Object));
    ASSERT_EQ(map->m_root->m_color, 1);
    EXPECT_LE(BlackHeight(map->m_root, decltype(map->m_root)(nullptr), long(INT_MIN) - 1, long(INT_MAX) + 1), 12);
    for (int key : keys) EXPECT_TRUE(map->p_Contains(key)) << key;
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
