#pragma once
#include <cstdint>
#include <random>

namespace bxw {

// Uniform random integers in an inclusive range: icon colours and label greys.
class RandomSource {
public:
  virtual ~RandomSource() = default;
  virtual int Uniform(int low, int high) = 0;  // low..high inclusive
};

class StdRandomSource final : public RandomSource {
public:
  StdRandomSource() : engine_(std::random_device{}()) {}
  explicit StdRandomSource(std::uint32_t seed) : engine_(seed) {}
  int Uniform(int low, int high) override {
    if (high < low) return low;
    return std::uniform_int_distribution<int>(low, high)(engine_);
  }

private:
  std::mt19937 engine_;
};

}  // namespace bxw
