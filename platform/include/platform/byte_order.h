#pragma once
// Explicit byte order for the file formats: every multi-byte integer goes through one of
// these, written with shifts so the host's order never matters.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

namespace platform {

using Bytes = std::vector<std::uint8_t>;

// Leaves new elements uninitialised: for a buffer that one read fills completely, where zeroing
// it first would touch every byte twice.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <typename U>
  explicit UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}

  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};
using UninitializedBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

// A four-byte tag as it stands in a file ("RIFF", "ODAR", "MCID"), compared and written as is.
using FourCC = std::array<std::uint8_t, 4>;

inline void putTag(Bytes& out, const FourCC& tag) {
  out.insert(out.end(), tag.begin(), tag.end());
}

// True when the four bytes at `offset` are the tag; false also when they lie past the end.
inline bool hasTag(std::span<const std::uint8_t> bytes, std::size_t offset, const FourCC& tag) {
  return offset <= bytes.size() && bytes.size() - offset >= tag.size() &&
         std::equal(tag.begin(), tag.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Each appends its bytes in one insert: a motion file of an 80-minute recording is half a
// million of them.
inline void putLe16(Bytes& out, std::uint16_t v) {
  const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(v),
                                          static_cast<std::uint8_t>(v >> 8)};
  out.insert(out.end(), bytes.begin(), bytes.end());
}

inline void putLe32(Bytes& out, std::uint32_t v) {
  const std::array<std::uint8_t, 4> bytes{
      static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
      static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  out.insert(out.end(), bytes.begin(), bytes.end());
}

inline void putBe32(Bytes& out, std::uint32_t v) {
  const std::array<std::uint8_t, 4> bytes{
      static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
      static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  out.insert(out.end(), bytes.begin(), bytes.end());
}

inline std::uint16_t getLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t getLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint16_t getBe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t getBe32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

}  // namespace platform
