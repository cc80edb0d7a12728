#include "attractors/pickover.h"

#include "run/run_loop.h"

#include <array>

namespace quorvane {

namespace {

constexpr std::array<Prompt, 10> kPrompts = {{
    {"Entre a value for (a)    {Try  2.21 to 4.73}", 2.23, Param::a},
    {"Entre a value for (b)    {Try  0.42 to 10}", 0.5, Param::b},
    {"Entre a value for (c)    {Try  -10 to +10}", -0.67, Param::c},
    {"Entre a value for (d)    {Try  -2.05 to -5.0}", -2.1, Param::d},
    {"Entre a value for (e)    {Try  0.3  to  2.0}", 1, Param::e},
    {"Entre a value for (aa)    {Try  2.21 to 4.73}", 2.23, Param::aa},
    {"Entre a value for (bb)    {Try  0.42 to 10}", 0.5, Param::bb},
    {"Entre a value for (cc)    {Try  -10 to +10}", -0.67, Param::cc},
    {"Entre a value for (dd)    {Try  -2.05 to -5.0}", -2.1, Param::dd},
    {"Entre a value for (ee)    {Try  0.3  to  2.0}", 1, Param::ee},
}};

} // namespace

const CommandTexts Pickover::texts = {"Pickover", kPrompts, "Pickover2   "};

void mnuPIK2_Click(Form& form) { attractorCommand(form, Pickover::texts, Pickover2); }

void Pickover2(Form& form) { runOrbits<Pickover>(form); }

} // namespace quorvane
