#include "run/prompt.h"

#include "run/form.h"

namespace quorvane {

void askParameters(Form& form, std::string_view title, std::span<const Prompt> prompts)
{
    Platform& platform = form.platform();
    for (const Prompt& prompt : prompts) {
        if (form.isUnloaded())
            return;
        const std::string answer
            = platform.inputBox(prompt.text, title, platform.numberText(prompt.defaultValue));
        if (const std::optional<double> value = platform.toNumber(answer))
            form.vars.parameter(prompt.target) = *value;
    }
}

} // namespace quorvane
