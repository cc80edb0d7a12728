#pragma once

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "headless/attractor_choice.h"

#include <utility>

namespace quorvane::headless {

// Calls visitor.template operator()<A>() with A the type of the attractor `id` names, and
// returns what it returns: the one place that turns a choice made at run time into the
// attractor's type, so that code templated on the attractor (a run skeleton for a platform
// of its own, say) is instantiated for all eight from one switch.
template <class Visitor> decltype(auto) visitAttractor(AttractorId id, Visitor&& visitor)
{
    switch (id) {
    case AttractorId::Lorenz:
        return std::forward<Visitor>(visitor).template operator()<Lorenz>();
    case AttractorId::Rossler:
        return std::forward<Visitor>(visitor).template operator()<Rossler>();
    case AttractorId::Pickover:
        return std::forward<Visitor>(visitor).template operator()<Pickover>();
    case AttractorId::Hopalong:
        return std::forward<Visitor>(visitor).template operator()<Hopalong>();
    case AttractorId::Equation1:
        return std::forward<Visitor>(visitor).template operator()<Equation1>();
    case AttractorId::Equation8:
        return std::forward<Visitor>(visitor).template operator()<Equation8>();
    case AttractorId::Starburst:
        return std::forward<Visitor>(visitor).template operator()<Starburst>();
    case AttractorId::Threeply:
        break;
    }
    return std::forward<Visitor>(visitor).template operator()<ThreeplyMap>();
}

} // namespace quorvane::headless
