// Growable lists indexed from 0, with the platform's random shuffle.
#pragma once

#include <cstdint>
#include <vector>

class Int32Array {
 public:
  // The highest index; -1 when the array is empty.
  int32_t Ubound() const { return int32_t(values_.size()) - 1; }
  // Makes upperBound the highest index (-1 empties the array).
  void Resize(int32_t upperBound);
  int32_t& operator()(int32_t index);
  int32_t operator()(int32_t index) const;
  void Insert(int32_t index, int32_t value);
  void Append(int32_t value) { values_.push_back(value); }
  // A random permutation in place, from the platform's random source, which
  // is seeded from the system's entropy when the program starts.
  void Shuffle();
  const std::vector<int32_t>& Values() const { return values_; }

 private:
  std::vector<int32_t> values_;
};
