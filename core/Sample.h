// One accelerometer sample and the numbers every layer agrees on.
#pragma once

#include <array>
#include <cstdint>

namespace kinemo {

inline constexpr int kAxisCount = 3;  // X, Y, Z

// X, Y, Z as the remote sends them: one raw byte per axis.
using AccTriple = std::array<std::uint8_t, kAxisCount>;

inline constexpr std::uint8_t kZeroLevel = 131;  // raw value of 0 G
inline constexpr int kCountsPerG = 27;           // raw steps of 1 G
inline constexpr int kStoreSize = 2002;          // entries 0..2001 of a sample store
inline constexpr int kRunLength = 2000;          // samples of one recording run

inline constexpr AccTriple kZeroSample{kZeroLevel, kZeroLevel, kZeroLevel};

using SampleStore = std::array<AccTriple, kStoreSize>;

}  // namespace kinemo
