#pragma once
// Packs: the same number for two or four independent runs side by side in vector registers,
// so that interleaved runs share each instruction, the divisions above all. Every operation
// here is an IEEE operation taken element by element (no contraction to FMA, no reciprocal
// estimates), so each element is rounded exactly as the scalar operation of a run alone
// would round it.
//  - Pack2: two runs in an SSE2 register, which every x86-64 has.
//  - Pack4: four runs in an AVX register, used only where the processor has AVX
//    (stepLanes checks).
//  - Pack2x2: four runs in two SSE2 registers. (Without AVX the compiler would take the
//    comparisons and selections of a Pack4 element by element, with branches.)
// The model's code is written once, for packs and for a double, the number of one run alone;
// the helpers below serve both. The operations that need one processor's instructions are in
// VectorInstructions.h, with a plain fallback.
#include "core/packs/VectorInstructions.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace kalvex {

using Pack2 = simd::Pair;
using Pack4 = double __attribute__((vector_size(32)));
using Mask2 = simd::PairMask;  // all bits set in the elements where it holds

struct Mask2x2 {
    Mask2 lo, hi;
    std::int64_t operator[](std::size_t i) const { return i < 2 ? lo[i] : hi[i - 2]; }
};

struct Pack2x2 {
    Pack2 lo, hi;  // runs 0 and 1, runs 2 and 3
    double operator[](std::size_t i) const { return i < 2 ? lo[i] : hi[i - 2]; }
};

// Each operation of Pack2x2 is the operation of Pack2 on both halves.
#define KALVEX_PACK2X2_OPERATOR(op, Result)                                                       \
    inline Result operator op(Pack2x2 a, Pack2x2 b) { return {a.lo op b.lo, a.hi op b.hi}; }    \
    inline Result operator op(Pack2x2 a, double b) { return {a.lo op b, a.hi op b}; }           \
    inline Result operator op(double a, Pack2x2 b) { return {a op b.lo, a op b.hi}; }
KALVEX_PACK2X2_OPERATOR(+, Pack2x2)
KALVEX_PACK2X2_OPERATOR(-, Pack2x2)
KALVEX_PACK2X2_OPERATOR(*, Pack2x2)
KALVEX_PACK2X2_OPERATOR(/, Pack2x2)
KALVEX_PACK2X2_OPERATOR(<, Mask2x2)
KALVEX_PACK2X2_OPERATOR(>, Mask2x2)
KALVEX_PACK2X2_OPERATOR(<=, Mask2x2)
KALVEX_PACK2X2_OPERATOR(>=, Mask2x2)
KALVEX_PACK2X2_OPERATOR(==, Mask2x2)
KALVEX_PACK2X2_OPERATOR(!=, Mask2x2)
#undef KALVEX_PACK2X2_OPERATOR
inline Mask2x2 operator&(Mask2x2 a, Mask2x2 b) { return {a.lo & b.lo, a.hi & b.hi}; }
inline Mask2x2 operator|(Mask2x2 a, Mask2x2 b) { return {a.lo | b.lo, a.hi | b.hi}; }
inline Mask2x2 operator~(Mask2x2 a) { return {~a.lo, ~a.hi}; }
inline Mask2x2& operator&=(Mask2x2& a, Mask2x2 b) { return a = a & b; }

// The number of runs a pack holds; a double is the number of one run.
template <class V>
inline constexpr std::size_t kPackWidth = sizeof(V) / sizeof(double);

// A comparison's answer: all bits set in the elements where it holds (a bool for one run).
template <class V>
using PackMask = decltype(V{} < V{});

namespace packs {

// f(l) for every bit l set in `mask`, of L runs.
template <std::size_t L, class F>
[[gnu::always_inline]] inline void forEachRun(unsigned mask, F&& f)
{
    for (std::size_t l = 0; l < L; ++l)
        if (mask >> l & 1u)
            f(l);
}

// Element i: the number of run i.
template <class V>
[[gnu::always_inline]] inline double at(const V& v, std::size_t i)
{
    if constexpr (std::is_same_v<V, double>)
        return v;
    else
        return v[i];
}

// Where the mask does not hold.
template <class V>
[[gnu::always_inline]] inline PackMask<V> isNot(PackMask<V> mask)
{
    if constexpr (std::is_same_v<V, double>)
        return !mask;
    else
        return ~mask;
}

// Element i is f(i), built in registers: elements stored one by one and read back as a pack
// would wait for the stores.
template <class V, class F>
[[gnu::always_inline]] inline V gather(F&& f)
{
    if constexpr (std::is_same_v<V, Pack2x2>)
        return {Pack2{f(0), f(1)}, Pack2{f(2), f(3)}};
    else
        return [&]<std::size_t... I>(std::index_sequence<I...>) { return V{f(I)...}; }(
            std::make_index_sequence<kPackWidth<V>>{});
}

template <class V>
[[gnu::always_inline]] inline V num(double value)
{
    return gather<V>([value](std::size_t) { return value; });
}

// Element i of `ifTrue` where the mask holds, of `ifFalse` elsewhere. SSE2 has no blend:
// the bits are picked with and, and-not and or.
template <class V>
[[gnu::always_inline]] inline V select(PackMask<V> mask, V ifTrue, V ifFalse)
{
    if constexpr (std::is_same_v<V, Pack2x2>) {
        return {select<Pack2>(mask.lo, ifTrue.lo, ifFalse.lo), select<Pack2>(mask.hi, ifTrue.hi, ifFalse.hi)};
    } else if constexpr (std::is_same_v<V, Pack2>) {
        const Mask2 picked = (std::bit_cast<Mask2>(ifTrue) & mask) | (std::bit_cast<Mask2>(ifFalse) & ~mask);
        return std::bit_cast<Pack2>(picked);
    } else {
        return mask ? ifTrue : ifFalse;  // AVX blends
    }
}

// Bit i set where the mask holds, taken two elements at a time.
template <class V>
[[gnu::always_inline]] inline unsigned bits(PackMask<V> mask)
{
    if constexpr (std::is_same_v<V, double>)
        return mask ? 1u : 0u;
    else if constexpr (std::is_same_v<V, Pack2x2>)
        return simd::maskBits(mask.lo) | simd::maskBits(mask.hi) << 2;
    else if constexpr (std::is_same_v<V, Pack2>)
        return simd::maskBits(mask);
    else
        return simd::maskBits(__builtin_shufflevector(mask, mask, 0, 1)) |
               simd::maskBits(__builtin_shufflevector(mask, mask, 2, 3)) << 2;
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
    return bits<V>(isNot<V>(v > 0) & (v == v));
}

// The square root of every element, two at a time as SSE2 takes it.
template <class V>
[[gnu::always_inline]] inline V sqrt(V v)
{
    if constexpr (std::is_same_v<V, double>) {
        return std::sqrt(v);
    } else if constexpr (std::is_same_v<V, Pack2x2>) {
        return {simd::sqrtPair(v.lo), simd::sqrtPair(v.hi)};
    } else if constexpr (std::is_same_v<V, Pack2>) {
        return simd::sqrtPair(v);
    } else {
        const Pack2 lo = simd::sqrtPair(Pack2{v[0], v[1]});
        const Pack2 hi = simd::sqrtPair(Pack2{v[2], v[3]});
        return V{lo[0], lo[1], hi[0], hi[1]};
    }
}

}  // namespace packs

}  // namespace kalvex
