#include "headless/attractor_choice.h"

#include "headless/attractor_types.h"
#include "headless/lane_run.h"

#include <array>

namespace quorvane::headless {

namespace {

// Whether the attractor's runs gain from lanes (see AttractorChoice::lanesPay).
enum class LanesPay : bool { No, Yes };

template <Attractor A>
constexpr AttractorChoice choice(
    AttractorId id, std::string_view name, void (*drawingRoutine)(Form&), LanesPay lanes)
{
    return {id, name, A::texts, drawingRoutine, A::pumpState, A::timeStep, &A::map, &laneSteps<A>,
        lanes == LanesPay::Yes};
}

constinit const std::array<AttractorChoice, 8> kChoices = {{
    choice<Lorenz>(AttractorId::Lorenz, "lorenz", Lorenz2, LanesPay::Yes),
    choice<Rossler>(AttractorId::Rossler, "rossler", ROSSLER, LanesPay::Yes),
    choice<Pickover>(AttractorId::Pickover, "pickover", Pickover2, LanesPay::No),
    choice<Hopalong>(AttractorId::Hopalong, "hopalong", Hop1, LanesPay::Yes),
    choice<Equation1>(AttractorId::Equation1, "eqn1", E1, LanesPay::Yes),
    choice<Equation8>(AttractorId::Equation8, "eqn8", E8, LanesPay::Yes),
    choice<Starburst>(AttractorId::Starburst, "starburst", TP4, LanesPay::No),
    choice<ThreeplyMap>(AttractorId::Threeply, "threeply", Threeply, LanesPay::No),
}};

constexpr std::array<std::string_view, 10> kParameterNames
    = {"a", "b", "c", "d", "e", "aa", "bb", "cc", "dd", "ee"};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::span<const AttractorChoice> attractorChoices() { return kChoices; }

const AttractorChoice* findAttractor(std::string_view name)
{
    for (const AttractorChoice& choice : kChoices) {
        if (choice.name.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = lowerAscii(name[i]) == choice.name[i];
        if (same)
            return &choice;
    }
    return nullptr;
}

std::string_view parameterName(Param p) { return kParameterNames[static_cast<std::size_t>(p)]; }

} // namespace quorvane::headless
