#pragma once

#include <cstddef>
#include <cstdint>

namespace veldor {

// FNV-1a of 64 bits: a quick fingerprint of bytes. Pieces are hashed in turn by passing the last result on.
inline constexpr std::uint64_t kFnvOffsetBasis = 14695981039346656037ULL;

inline std::uint64_t Fnv1a(const void* data, std::size_t size, std::uint64_t hash = kFnvOffsetBasis)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ULL;
    return hash;
}

} // namespace veldor
