// FluidSynth's table generators call gcem::fabs, which the gcem kept beside it (a later
// commit than the one FluidSynth pins) names gcem::abs. Included before each of
// FluidSynth's C++ sources; only the generators have gcem on their include path.
#pragma once

#if __has_include(<gcem.hpp>)
#include <gcem.hpp>

namespace gcem {
template <typename T>
constexpr T fabs(const T x) noexcept {
    return gcem::abs(x);
}
}  // namespace gcem
#endif
