#include "saver/block_list.h"

#include <gtest/gtest.h>

namespace {

// Nodes come in blocks of ten that stay while any entry is left; removal is
// from the end, freed nodes are used again, and an emptied list starts afresh.
TEST(BlockList, GrowsInBlocksRemovesFromTheEndAndStartsAfreshWhenEmpty) {
  int items[25];
  BlockList<int> list;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 10; ++i) list.AddTail(&items[i]);
    EXPECT_EQ(list.BlockCount(), 1u);
    EXPECT_EQ(list.RemoveTail(), &items[9]);
    list.AddTail(&items[10]);
    list.AddTail(&items[11]);
    EXPECT_EQ(list.BlockCount(), 2u);
    for (int i = 12; i < 25; ++i) list.AddTail(&items[i]);
    std::vector<int*> order;
    list.ForEach([&](int* item) { order.push_back(item); });
    ASSERT_EQ(order.size(), 24u);
    EXPECT_EQ(order[8], &items[8]);
    EXPECT_EQ(order[9], &items[10]);
    while (list.Count() > 1) list.RemoveTail();
    EXPECT_EQ(list.BlockCount(), 3u);
    EXPECT_EQ(list.RemoveTail(), &items[0]);
    EXPECT_EQ(list.BlockCount(), 0u);
  }
}

}  // namespace
