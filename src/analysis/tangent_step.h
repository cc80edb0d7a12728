#pragma once

#include "analysis/dual.h"
#include "run/attractor.h"

#include <array>
#include <cstddef>
#include <utility>

namespace quorvane::analysis {

// The step of attractor A as a function of the state orbit 1 holds at an event pump (x, y, z
// for the flows, the next point x', y' for the maps: the slots of A::pumpState) to the state at
// the next pump, with its Jacobian: the attractor's own step, A::pumpToPump, run once over dual
// numbers whose directions are the state's coordinates.
template <class A> struct TangentStep {
    static constexpr std::size_t kDim = A::pumpState.count;
    using Number = Dual<kDim>;
    // Row i of a matrix: the derivatives of coordinate i, one lane a column.
    using Row = typename Number::Tangent;
    using Matrix = std::array<Row, kDim>;

    // The next state, bit for bit what the run's step gives, and the Jacobian: jacobian[i][k]
    // is the derivative of the next state's coordinate i by the current one's coordinate k.
    std::array<double, kDim> next {};
    Matrix jacobian {};

    // The step from orbit 1's state at a pump, with orbit 1's parameters. The parameters
    // become constants of the dual step here, where the code that uses them sees that their
    // derivatives are 0 (see Dual's operations).
    [[gnu::always_inline]] inline static TangentStep from(const Orbit& orbit, const ParameterSet& p)
    {
        return from(orbit, p, std::make_index_sequence<kDim>());
    }

private:
    // The slots are named by constants, not reached through a loop, so that the dual orbit's
    // variables can stay in registers.
    template <std::size_t... I>
    [[gnu::always_inline]] inline static TangentStep from(
        const Orbit& orbit, const ParameterSet& p, std::index_sequence<I...>)
    {
        const BasicParameterSet<Number> constants {p.a, p.b, p.c, p.d, p.e};
        BasicOrbit<Number> o;
        ((o.*kSlots[I] = Number::coordinate(orbit.*A::pumpState.members[I], I)), ...);
        A::pumpToPump(o, constants);
        return {{(o.*kSlots[I]).v...}, {(o.*kSlots[I]).d...}};
    }

    // The dual orbit's slots that hold the state at the pump.
    static constexpr auto kSlots = pumpStateSlots<A, Number>();
};

} // namespace quorvane::analysis
