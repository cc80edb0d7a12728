#include "headless/attractor_choice.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"

#include <QString>

#include <array>

namespace quorvane::headless {

namespace {

const std::array<AttractorChoice, 8> kChoices = {{
    {"lorenz", Lorenz::texts, Lorenz2},
    {"rossler", Rossler::texts, ROSSLER},
    {"pickover", Pickover::texts, Pickover2},
    {"hopalong", Hopalong::texts, Hop1},
    {"eqn1", Equation1::texts, E1},
    {"eqn8", Equation8::texts, E8},
    {"starburst", Starburst::texts, TP4},
    {"threeply", ThreeplyMap::texts, Threeply},
}};

constexpr std::array<std::string_view, 10> kParameterNames
    = {"a", "b", "c", "d", "e", "aa", "bb", "cc", "dd", "ee"};

} // namespace

std::span<const AttractorChoice> attractorChoices() { return kChoices; }

const AttractorChoice* findAttractor(QStringView name)
{
    for (const AttractorChoice& choice : kChoices)
        if (name.compare(
                QLatin1String(choice.name.data(), static_cast<qsizetype>(choice.name.size())),
                Qt::CaseInsensitive)
            == 0)
            return &choice;
    return nullptr;
}

std::string_view parameterName(Param p) { return kParameterNames[static_cast<std::size_t>(p)]; }

} // namespace quorvane::headless
