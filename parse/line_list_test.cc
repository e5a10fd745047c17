#include "parse/line_list.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace corvane {
namespace {

// The texts from head to tail, checking on the way that every entry's
// length is its text's and that `prev` mirrors `next`.
std::vector<std::string> Texts(const LineList& list) {
  std::vector<std::string> texts;
  const LineNode* prev = nullptr;
  for (const LineNode* node = list.Head(); node != nullptr; node = node->next) {
    EXPECT_EQ(prev, node->prev);
    EXPECT_EQ(static_cast<int>(std::string(node->text).size()), node->length);
    texts.push_back(node->text);
    prev = node;
  }
  EXPECT_EQ(prev, list.Tail());
  return texts;
}

TEST(LineListTest, AppendsCopiesInOrder) {
  LineList list;
  EXPECT_TRUE(Texts(list).empty());

  char line[] = "first\r\n";
  list.Append(line);
  line[0] = 'X';  // The list keeps its own copy.
  list.Append("");
  list.Append("third");
  EXPECT_EQ((std::vector<std::string>{"first\r\n", "", "third"}), Texts(list));
}

TEST(LineListTest, ClearEmptiesAndTheListStaysUsable) {
  LineList list;
  list.Append("a");
  list.Append("b");
  list.Clear();
  EXPECT_EQ(nullptr, list.Head());
  EXPECT_EQ(nullptr, list.Tail());
  list.Clear();

  list.Append("c");
  EXPECT_EQ((std::vector<std::string>{"c"}), Texts(list));
}

}  // namespace
}  // namespace corvane
