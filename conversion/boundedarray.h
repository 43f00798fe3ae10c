#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace quillomat {

// A fixed array indexed 0 to UpperBound. An index outside that range throws
// std::out_of_range and leaves the array as it was: it never grows.
template <typename T, std::int64_t UpperBound>
class BoundedArray {
 public:
  static constexpr std::size_t size() { return static_cast<std::size_t>(UpperBound) + 1; }

  T& operator()(std::int64_t index) { return items_[checked(index)]; }
  const T& operator()(std::int64_t index) const { return items_[checked(index)]; }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  bool operator==(const BoundedArray&) const = default;

 private:
  static std::size_t checked(std::int64_t index) {
    if (index < 0 || index > UpperBound) [[unlikely]] throwOutOfRange(index);
    return static_cast<std::size_t>(index);
  }

  [[noreturn]] static void throwOutOfRange(std::int64_t index) {
    throw std::out_of_range("array index " + std::to_string(index) + " is outside 0 to " +
                            std::to_string(UpperBound));
  }

  std::array<T, static_cast<std::size_t>(UpperBound) + 1> items_{};
};

}  // namespace quillomat
