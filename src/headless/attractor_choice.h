#pragma once

#include "run/attractor.h"

#include <QStringView>

#include <span>
#include <string_view>

namespace quorvane {
class Form;
}

namespace quorvane::headless {

// An attractor as a headless command names it: its name on the command line, its menu
// command's texts (whose prompts give the parameters it asks for and their defaults) and its
// drawing routine, the run itself.
struct AttractorChoice {
    std::string_view name;
    const CommandTexts& texts;
    void (*drawingRoutine)(Form&);
};

// All eight, in the order the help lists them.
std::span<const AttractorChoice> attractorChoices();

// The attractor of that name, in any case; nothing for a name no attractor has.
const AttractorChoice* findAttractor(QStringView name);

// The parameter's name, as prompts and --set spell it: "a" ... "e", "aa" ... "ee".
std::string_view parameterName(Param p);

} // namespace quorvane::headless
