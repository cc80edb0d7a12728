#pragma once

#include "run/window_vars.h"

#include <span>
#include <string_view>

namespace quorvane {

class Form;

// One parameter prompt: the text shown, the number offered afresh every time, and the
// parameter an answer is stored in.
struct Prompt {
    std::string_view text;
    double defaultValue = 0;
    Param target = Param::a;
};

// Asks the prompts one after another, all under one title. An answer that converts to a number
// is stored in its parameter; Cancel, empty text, letters or a number outside the double range
// leave the parameter as it was, and the next prompt follows in every case.
void askParameters(Form& form, std::string_view title, std::span<const Prompt> prompts);

} // namespace quorvane
