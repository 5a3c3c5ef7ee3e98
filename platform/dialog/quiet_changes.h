#pragma once

// While one of these lives, changes that the program makes to a control send
// no notification (the system notifies only for what the user does).
class QuietChanges {
 public:
  QuietChanges() { ++Depth(); }
  ~QuietChanges() { --Depth(); }
  QuietChanges(const QuietChanges&) = delete;
  QuietChanges& operator=(const QuietChanges&) = delete;
  static bool Active() { return Depth() > 0; }

 private:
  static int& Depth() {
    static thread_local int depth = 0;
    return depth;
  }
};
