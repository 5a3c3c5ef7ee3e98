#pragma once
#include <cstddef>
#include <memory>
#include <vector>

// A doubly linked list of item pointers whose nodes come in blocks of ten. A
// snapshot of a busy desktop appends dozens of entries in a row, and one
// allocation per ten keeps that cheap; a removed node waits on the free list
// for the next append, and the blocks go when the list is empty again.
template <typename Item>
class BlockList {
 public:
  static constexpr size_t kNodesPerBlock = 10;

  BlockList() = default;
  BlockList(const BlockList&) = delete;
  BlockList& operator=(const BlockList&) = delete;

  void AddTail(Item* item) {
    Node* node = TakeFreeNode();
    node->item = item;
    node->previous = tail_;
    node->next = nullptr;
    if (tail_ != nullptr) {
      tail_->next = node;
    } else {
      head_ = node;
    }
    tail_ = node;
    ++count_;
  }

  // The list must not be empty.
  Item* RemoveTail() {
    Node* node = tail_;
    Item* item = node->item;
    tail_ = node->previous;
    if (tail_ != nullptr) {
      tail_->next = nullptr;
    } else {
      head_ = nullptr;
    }
    GiveBack(node);
    if (--count_ == 0) ReleaseBlocks();
    return item;
  }

  size_t Count() const { return count_; }
  size_t BlockCount() const { return blocks_.size(); }

  // Items from head to tail, for a caller that only looks.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const Node* node = head_; node != nullptr; node = node->next) visit(node->item);
  }

 private:
  struct Node {
    Node* next = nullptr;
    Node* previous = nullptr;
    Item* item = nullptr;
  };

  Node* TakeFreeNode() {
    if (free_ == nullptr) AddBlock();
    Node* node = free_;
    free_ = node->next;
    return node;
  }

  // The new block's nodes are chained in their own order, so appends use them
  // front to back.
  void AddBlock() {
    auto block = std::make_unique<Node[]>(kNodesPerBlock);
    for (size_t i = kNodesPerBlock; i-- > 0;) {
      block[i].next = free_;
      free_ = &block[i];
    }
    blocks_.push_back(std::move(block));
  }

  void GiveBack(Node* node) {
    node->item = nullptr;
    node->previous = nullptr;
    node->next = free_;
    free_ = node;
  }

  void ReleaseBlocks() {
    free_ = nullptr;
    blocks_.clear();
  }

  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  Node* free_ = nullptr;
  size_t count_ = 0;
  std::vector<std::unique_ptr<Node[]>> blocks_;
};
