#include "headless/attractor_choice.h"

#include "headless/attractor_types.h"

#include <array>

namespace quorvane::headless {

namespace {

template <Attractor A>
constexpr AttractorChoice choice(
    AttractorId id, std::string_view name, void (*drawingRoutine)(Form&))
{
    return {id, name, A::texts, drawingRoutine, A::pumpState, A::timeStep, &A::map};
}

const std::array<AttractorChoice, 8> kChoices = {{
    choice<Lorenz>(AttractorId::Lorenz, "lorenz", Lorenz2),
    choice<Rossler>(AttractorId::Rossler, "rossler", ROSSLER),
    choice<Pickover>(AttractorId::Pickover, "pickover", Pickover2),
    choice<Hopalong>(AttractorId::Hopalong, "hopalong", Hop1),
    choice<Equation1>(AttractorId::Equation1, "eqn1", E1),
    choice<Equation8>(AttractorId::Equation8, "eqn8", E8),
    choice<Starburst>(AttractorId::Starburst, "starburst", TP4),
    choice<ThreeplyMap>(AttractorId::Threeply, "threeply", Threeply),
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
