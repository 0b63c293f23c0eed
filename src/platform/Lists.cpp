#include "platform/Lists.h"

#include <algorithm>
#include <random>
#include <string>

#include "platform/Design.h"

namespace {

std::mt19937_64& RandomSource() {
  static std::mt19937_64 engine = [] {
    std::random_device entropy;
    std::seed_seq seed{entropy(), entropy(), entropy(), entropy(), entropy(), entropy()};
    return std::mt19937_64(seed);
  }();
  return engine;
}

}  // namespace

void Int32Array::Resize(int32_t upperBound) {
  if (upperBound < -1) RuntimeFail("array upper bound " + std::to_string(upperBound) + " is below -1");
  values_.resize(size_t(int64_t(upperBound) + 1));
}

int32_t& Int32Array::operator()(int32_t index) {
  if (index < 0 || index > Ubound()) RuntimeFail("array index " + std::to_string(index) + " out of bounds");
  return values_[size_t(index)];
}

int32_t Int32Array::operator()(int32_t index) const {
  if (index < 0 || index > Ubound()) RuntimeFail("array index " + std::to_string(index) + " out of bounds");
  return values_[size_t(index)];
}

void Int32Array::Insert(int32_t index, int32_t value) {
  if (index < 0 || index > Ubound() + 1) RuntimeFail("array insert at " + std::to_string(index) + " out of bounds");
  values_.insert(values_.begin() + index, value);
}

void Int32Array::Shuffle() { std::shuffle(values_.begin(), values_.end(), RandomSource()); }
