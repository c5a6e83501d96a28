#pragma once
// A recording as the robot plays it, written whole in memory.
#include <cstdint>
#include <span>

#include "platform/byte_order.h"

namespace velk_mur {

// The 44-byte header of wav_format.h (a 16-byte "fmt " chunk), then the samples.
platform::Bytes robotWavFile(std::span<const std::uint8_t> samples);

}  // namespace velk_mur
