#include "headless/attractor_choice.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "headless/headless_platform.h"
#include "run/run_loop.h"

#include <QString>

#include <array>

namespace quorvane::headless {

namespace {

// The headless routine is this file's own instantiation of the skeleton behind the window's
// drawing routine: the same source, with the headless platform's calls made directly.
template <Attractor A> void headlessRoutine(HeadlessForm& form)
{
    runOrbits<A, HeadlessPlatform>(form);
}

template <Attractor A> AttractorChoice choice(std::string_view name, void (*drawingRoutine)(Form&))
{
    return {
        name, A::texts, drawingRoutine, &headlessRoutine<A>, A::pumpState, A::timeStep, &A::map};
}

const std::array<AttractorChoice, 8> kChoices = {{
    choice<Lorenz>("lorenz", Lorenz2),
    choice<Rossler>("rossler", ROSSLER),
    choice<Pickover>("pickover", Pickover2),
    choice<Hopalong>("hopalong", Hop1),
    choice<Equation1>("eqn1", E1),
    choice<Equation8>("eqn8", E8),
    choice<Starburst>("starburst", TP4),
    choice<ThreeplyMap>("threeply", Threeply),
}};

constexpr std::array<std::string_view, 10> kParameterNames
    = {"a", "b", "c", "d", "e", "aa", "bb", "cc", "dd", "ee"};

} // namespace

std::span<const AttractorChoice> attractorChoices() { return kChoices; }

const AttractorChoice* findAttractor(QStringView name)
{
    for (const AttractorChoice& choice : kChoices)
        if (name.compare(fromView(choice.name), Qt::CaseInsensitive) == 0)
            return &choice;
    return nullptr;
}

std::string_view parameterName(Param p) { return kParameterNames[static_cast<std::size_t>(p)]; }

} // namespace quorvane::headless
