#pragma once
// The records of the model evaluation (Model.h) in pack form: for the runs of a pack
// (Packs.h), one pack per variable, run r in element r.
#include "core/model/Model.h"
#include "core/packs/Packs.h"
#include "core/model/Pi.h"

#include <array>
#include <cmath>
#include <utility>

namespace kalvex {

// The state of the runs of a pack, one pack per variable.
template <class V>
using StatePack = std::array<V, kStateSize>;

// ModelState of the runs of a pack, field by field.
template <class V>
struct ModelPack {
    V S, eS, Vf, Aw, vg, rhog, cp, Ekin, Erot, Eprop, Erec, Eair, Q, Tm, Pm, r, M, Pg, Pb, P0, hT, Tc;
};

// BoreLoad of the runs of a pack.
template <class V>
struct LoadPack {
    V pr, Efr;
};

// The fields of ModelState and of ModelPack side by side, for moving runs into packs and out.
template <class V>
inline constexpr std::pair<double ModelState::*, V ModelPack<V>::*> kModelPackFields[] = {
    {&ModelState::S, &ModelPack<V>::S},       {&ModelState::eS, &ModelPack<V>::eS},
    {&ModelState::Vf, &ModelPack<V>::Vf},     {&ModelState::Aw, &ModelPack<V>::Aw},
    {&ModelState::vg, &ModelPack<V>::vg},     {&ModelState::rhog, &ModelPack<V>::rhog},
    {&ModelState::cp, &ModelPack<V>::cp},     {&ModelState::Ekin, &ModelPack<V>::Ekin},
    {&ModelState::Erot, &ModelPack<V>::Erot}, {&ModelState::Eprop, &ModelPack<V>::Eprop},
    {&ModelState::Erec, &ModelPack<V>::Erec}, {&ModelState::Eair, &ModelPack<V>::Eair},
    {&ModelState::Q, &ModelPack<V>::Q},       {&ModelState::Tm, &ModelPack<V>::Tm},
    {&ModelState::Pm, &ModelPack<V>::Pm},     {&ModelState::r, &ModelPack<V>::r},
    {&ModelState::M, &ModelPack<V>::M},       {&ModelState::Pg, &ModelPack<V>::Pg},
    {&ModelState::Pb, &ModelPack<V>::Pb},     {&ModelState::P0, &ModelPack<V>::P0},
    {&ModelState::hT, &ModelPack<V>::hT},     {&ModelState::Tc, &ModelPack<V>::Tc},
};
static_assert(sizeof(ModelState) == 22 * sizeof(double), "every field of ModelState is packed");

}  // namespace kalvex
