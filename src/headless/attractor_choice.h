#pragma once

#include "run/attractor.h"

#include <QString>
#include <QStringView>

#include <span>
#include <string_view>

namespace quorvane {
class Form;
}

namespace quorvane::headless {

class HeadlessForm;

// An attractor as a headless command names it: its name on the command line, its menu
// command's texts (whose prompts give the parameters it asks for and their defaults), its
// drawing routine as the window runs it, and the same routine for a headless run, the run
// itself; besides, what a command needs to measure a run from its
// event pump: the slots that hold each orbit's state there, the model time of a step (0 for the
// maps, whose only unit is the step), and the attractor's own mapping to the screen.
struct AttractorChoice {
    std::string_view name;
    const CommandTexts& texts;
    void (*drawingRoutine)(Form&);
    // The run skeleton of drawingRoutine instantiated for the headless platform, whose calls it
    // makes directly (see runOrbits).
    void (*headlessRoutine)(HeadlessForm&);
    StateSlots state;
    double timeStep = 0;
    Point (*map)(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight) = nullptr;

    bool isFlow() const { return timeStep > 0; }
};

// All eight, in the order the help lists them.
std::span<const AttractorChoice> attractorChoices();

// The attractor of that name, in any case; nothing for a name no attractor has.
const AttractorChoice* findAttractor(QStringView name);

// The parameter's name, as prompts and --set spell it: "a" ... "e", "aa" ... "ee".
std::string_view parameterName(Param p);

// Whether the parameter is orbit 1's, a ... e, rather than orbit 2's, aa ... ee.
inline bool isOrbit1(Param p) { return p <= Param::e; }

// A name from the tables above as a QString.
inline QString fromView(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace quorvane::headless
