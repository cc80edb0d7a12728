#pragma once

// The headless run: the program's run skeleton without a window, for the commands that run
// an attractor from the command line. Plain C++ on run/ and attractors/; no Qt. What a run
// draws into is handed in from above (see headless_run.h), and what it measures lives in
// analysis/.

#include "run/attractor.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvane {
class Form;
}

namespace quorvane::headless {

struct LaneSteps;

// The eight attractors, in the order of the table below.
enum class AttractorId : std::uint8_t {
    Lorenz,
    Rossler,
    Pickover,
    Hopalong,
    Equation1,
    Equation8,
    Starburst,
    Threeply,
};

// An attractor as a headless command names it: its name on the command line, its menu
// command's texts (whose prompts give the parameters it asks for and their defaults), its
// drawing routine as the window runs it; besides, what a command needs to measure a run from
// its event pump: the slots that hold each orbit's state there, the model time of a step (0
// for the maps, whose only unit is the step), and the attractor's own mapping to the screen;
// and how its runs advance four at a time in a lane run (lane_run.h). visitAttractor()
// (attractor_types.h) reaches the attractor's type itself.
struct AttractorChoice {
    AttractorId id;
    std::string_view name;
    const CommandTexts& texts;
    void (*drawingRoutine)(Form&);
    StateSlots state;
    double timeStep = 0;
    Point (*map)(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight) = nullptr;
    // The attractor's lane steps: its runs in a lane run give the same numbers as one at a
    // time, for all eight. A function rather than the address of its result, so that the table
    // stays a constant, made before any code that may read it runs.
    const LaneSteps& (*laneSteps)() = nullptr;
    // Whether four runs in AVX2 lanes are much faster than four one after the other: true where
    // the step is plain arithmetic. sin, cos and tan have no vector form and are called one lane
    // at a time, so the attractors that call them gain nothing from lanes.
    bool lanesPay = false;

    bool isFlow() const { return timeStep > 0; }
};

// All eight, in the order the help lists them.
std::span<const AttractorChoice> attractorChoices();

// The attractor of that name, in any case; nothing for a name no attractor has.
const AttractorChoice* findAttractor(std::string_view name);

// The parameter's name, as prompts and --set spell it: "a" ... "e", "aa" ... "ee".
std::string_view parameterName(Param p);

// Whether the parameter is orbit 1's, a ... e, rather than orbit 2's, aa ... ee.
inline bool isOrbit1(Param p) { return p <= Param::e; }

} // namespace quorvane::headless
