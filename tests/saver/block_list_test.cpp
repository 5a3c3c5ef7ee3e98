#include "saver/block_list.h"

#include <gtest/gtest.h>

namespace {

TEST(BlockList, NodesComeTenAtATimeAndGoWhenEmpty) {
  int items[25];
  BlockList<int> list;
  for (int i = 0; i < 10; ++i) list.AddTail(&items[i]);
  EXPECT_EQ(list.BlockCount(), 1u);
  list.AddTail(&items[10]);
  EXPECT_EQ(list.BlockCount(), 2u);
  for (int i = 11; i < 25; ++i) list.AddTail(&items[i]);
  EXPECT_EQ(list.Count(), 25u);
  EXPECT_EQ(list.BlockCount(), 3u);

  while (list.Count() > 1) list.RemoveTail();
  EXPECT_EQ(list.BlockCount(), 3u) << "blocks stay while any entry is left";
  list.RemoveTail();
  EXPECT_EQ(list.BlockCount(), 0u);
}

TEST(BlockList, RemovesFromTheEndAndReusesFreedNodes) {
  int a = 1, b = 2, c = 3;
  BlockList<int> list;
  list.AddTail(&a);
  list.AddTail(&b);
  EXPECT_EQ(list.RemoveTail(), &b);
  list.AddTail(&c);
  EXPECT_EQ(list.BlockCount(), 1u);
  std::vector<int*> order;
  list.ForEach([&](int* item) { order.push_back(item); });
  EXPECT_EQ(order, (std::vector<int*>{&a, &c}));
  EXPECT_EQ(list.RemoveTail(), &c);
  EXPECT_EQ(list.RemoveTail(), &a);
  EXPECT_EQ(list.Count(), 0u);
  // A list emptied once works again from scratch.
  list.AddTail(&b);
  EXPECT_EQ(list.RemoveTail(), &b);
}

}  // namespace
