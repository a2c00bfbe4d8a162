#pragma once
// The few places where the packs and the step records use one processor's instructions, each
// with a plain fallback that gives the same bits: SSE2 where the compiler targets it (every
// x86-64), the fallback elsewhere or when the build asks for it (-DKALVEX_SCALAR_PACKS=ON,
// which SeriesHash checks). The four-run AVX step of the solver is compiled only with SSE2.
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

#if defined(__SSE2__) && !defined(KALVEX_SCALAR_PACKS)
#define KALVEX_SSE2 1
#include <emmintrin.h>
#else
#define KALVEX_SSE2 0
#endif

#if KALVEX_SSE2 && (defined(__x86_64__) || defined(__i386__))
#define KALVEX_X86_VECTORS 1  // AVX may be asked of the processor, and its state managed
#else
#define KALVEX_X86_VECTORS 0
#endif

namespace kalvex::simd {

// Two runs' numbers side by side, and a comparison's answer for them (all bits set where it holds).
using Pair = double __attribute__((vector_size(16)));
using PairMask = decltype(Pair{} < Pair{});

// Bit i set where element i of the mask holds.
[[gnu::always_inline]] inline unsigned maskBits(PairMask mask)
{
#if KALVEX_SSE2
    return static_cast<unsigned>(_mm_movemask_pd(std::bit_cast<__m128d>(mask)));
#else
    return (mask[0] != 0 ? 1u : 0u) | (mask[1] != 0 ? 2u : 0u);
#endif
}

// The correctly rounded square root of each element.
[[gnu::always_inline]] inline Pair sqrtPair(Pair v)
{
#if KALVEX_SSE2
    return std::bit_cast<Pair>(_mm_sqrt_pd(std::bit_cast<__m128d>(v)));
#else
    return Pair{std::sqrt(v[0]), std::sqrt(v[1])};
#endif
}

// Whether every value given is finite (|v| <= the largest double: false for an infinity and
// for NaN), taken two values at a time and the answers combined, one branch for all.
class FiniteTest {
public:
    // Two loads of one value each: the values were just stored one by one, and a load of two
    // at once would wait until those stores have left for the cache.
    [[gnu::always_inline]] void pair(const double& a, const double& b)
    {
#if KALVEX_SSE2
        const __m128d values = _mm_loadh_pd(_mm_load_sd(&a), &b);
        finite_ = _mm_and_pd(finite_, _mm_cmple_pd(_mm_and_pd(values, magnitude_), largest_));
#else
        finite_ = finite_ & (std::fabs(a) <= kLargest) & (std::fabs(b) <= kLargest);
#endif
    }

    bool all() const
    {
#if KALVEX_SSE2
        return _mm_movemask_pd(finite_) == 3;
#else
        return finite_;
#endif
    }

private:
    static constexpr double kLargest = std::numeric_limits<double>::max();
#if KALVEX_SSE2
    __m128d largest_ = _mm_set1_pd(kLargest);
    __m128d magnitude_ = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff));
    __m128d finite_ = _mm_castsi128_pd(_mm_set1_epi64x(-1));
#else
    bool finite_ = true;
#endif
};

// Two values from `from` (16-byte aligned) to `to` past the caches where the processor can:
// a whole line written so is not read in first. Plain stores elsewhere.
[[gnu::always_inline]] inline void streamPair(double* to, const double* from)
{
#if KALVEX_SSE2
    _mm_stream_pd(to, _mm_load_pd(from));
#else
    to[0] = from[0];
    to[1] = from[1];
#endif
}

// The values streamed are in place before anything after this reads them.
[[gnu::always_inline]] inline void streamFence()
{
#if KALVEX_SSE2
    _mm_sfence();
#endif
}

// AVX in the processor and enabled by the operating system.
inline bool processorHasAvx()
{
#if KALVEX_X86_VECTORS
    return __builtin_cpu_supports("avx");
#else
    return false;
#endif
}

// Code that ran before the solver in the same thread (the window's drawing, a wide memset in
// the C library) may leave the upper halves of the vector registers in use. The step loop is
// compiled for SSE; on x86 processors with AVX, every SSE instruction then pays a state
// transition penalty, and a run takes about twice as long. Clearing the upper halves once
// before the loop costs nothing where they are clean.
inline void clearUpperVectorState()
{
#if KALVEX_X86_VECTORS
    if (processorHasAvx())
        asm volatile("vzeroupper");
#endif
}

}  // namespace kalvex::simd
