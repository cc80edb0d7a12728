#include "run/run_loop.h"

namespace quorvane {

void attractorCommand(Form& form, const CommandTexts& texts, void (*drawingRoutine)(Form&))
{
    askParameters(form, texts.title, texts.prompts);
    if (form.isUnloaded())
        return;
    form.clearSurfaces();
    form.platform().setCaption(texts.caption);
    drawingRoutine(form);
}

} // namespace quorvane
