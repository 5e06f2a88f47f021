#pragma once
// FNV-1a, 64 bits: a quick, well-spread key for names and pictures, not a
// defence against anyone choosing collisions. No Windows header here.

#include <cstdint>
#include <span>
#include <type_traits>

namespace base {

inline constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;

// Continues a hash over more units (bytes, or UTF-16 units each taken whole).
template <typename Unit>
[[nodiscard]] constexpr std::uint64_t Fnv1a(std::span<const Unit> units, std::uint64_t hash = kFnvOffset) noexcept
{
    for (const Unit unit : units)
        hash = (hash ^ static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<Unit>>(unit))) * 1099511628211ull;
    return hash;
}

} // namespace base
