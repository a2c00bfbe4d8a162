#pragma once
// Packs: the same number for two or four independent runs in the halves or quarters of one
// vector register, so that interleaved runs share each instruction, the divisions above all.
// Every operation here is an IEEE operation taken element by element (no contraction to FMA,
// no reciprocal estimates), so each element is rounded exactly as the scalar operation of a
// run alone would round it. Two-run packs are SSE2, which every x86-64 has; four-run packs
// are AVX and are used only where the processor has it (stepLanes checks).
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace kalvex {

using Pack2 = double __attribute__((vector_size(16)));
using Pack4 = double __attribute__((vector_size(32)));

// The number of runs a pack holds.
template <class V>
inline constexpr std::size_t kPackWidth = sizeof(V) / sizeof(double);

// A comparison's answer: all bits set in the elements where it holds.
template <class V>
using PackMask = decltype(V{} < V{});

namespace packs {

// Element i is f(i). Built in registers: elements stored one by one and read back as a
// pack would wait for the stores.
template <class V, class F>
[[gnu::always_inline]] inline V gather(F&& f)
{
    return [&]<std::size_t... I>(std::index_sequence<I...>) { return V{f(I)...}; }(
        std::make_index_sequence<kPackWidth<V>>{});
}

template <class V>
[[gnu::always_inline]] inline V num(double value)
{
    return gather<V>([value](std::size_t) { return value; });
}

// Element i of `ifTrue` where the mask holds, of `ifFalse` elsewhere.
template <class V>
[[gnu::always_inline]] inline V select(PackMask<V> mask, V ifTrue, V ifFalse)
{
    return mask ? ifTrue : ifFalse;
}

// Bit i set where the mask holds, taken two elements at a time.
template <class V>
[[gnu::always_inline]] inline unsigned bits(PackMask<V> mask)
{
    if constexpr (kPackWidth<V> == 2) {
        return static_cast<unsigned>(_mm_movemask_pd(reinterpret_cast<__m128d>(mask)));
    } else {
        const auto low = __builtin_shufflevector(mask, mask, 0, 1);
        const auto high = __builtin_shufflevector(mask, mask, 2, 3);
        return static_cast<unsigned>(_mm_movemask_pd(reinterpret_cast<__m128d>(low)) |
                                     _mm_movemask_pd(reinterpret_cast<__m128d>(high)) << 2);
    }
}

template <class V>
[[gnu::always_inline]] inline PackMask<V> isNaN(V v)
{
    return v != v;
}

// Where v is finite: v - v is 0 for every finite v and NaN for an infinity and for NaN.
// (Comparisons of doubles only: AVX without AVX2 has no comparison of 64-bit integers.)
template <class V>
[[gnu::always_inline]] inline PackMask<V> isFinite(V v)
{
    return v - v == 0;
}

// Bit i set where the model's fault test `!(v > 0) && !isnan(v)` holds.
template <class V>
[[gnu::always_inline]] inline unsigned faultBits(V v)
{
    return bits<V>(~(v > 0) & (v == v));
}

// The square root of every element, two at a time as SSE2 takes it.
template <class V>
[[gnu::always_inline]] inline V sqrt(V v)
{
    V r;
    for (std::size_t i = 0; i < kPackWidth<V>; i += 2) {
        const __m128d two = _mm_sqrt_pd(_mm_set_pd(v[i + 1], v[i]));
        r[i] = _mm_cvtsd_f64(two);
        r[i + 1] = _mm_cvtsd_f64(_mm_unpackhi_pd(two, two));
    }
    return r;
}

}  // namespace packs

}  // namespace kalvex
