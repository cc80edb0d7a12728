#pragma once

#include "run/prompt.h"

#include <array>

namespace quorvane {

// Equation 1 and Equation 8 ask the same eight questions, each with its range hint in the one
// text; only the defaults differ. Orbit 2 is offered the same defaults as orbit 1. c and cc
// are asked for and stored, though neither step reads them.
constexpr std::array<Prompt, 8> equationPrompts(double a, double b, double c, double d)
{
    return {{
        {"Entre a value for (a)    {Try  -5.0  to  +5.0}", a, Param::a},
        {"Entre a value for (b)    {Try  -2.5  to  +2.5}", b, Param::b},
        {"Entre a value for (c)    {Try  -1.0  to  +1.0}", c, Param::c},
        {"Entre a value for (d)    {Try  -0.5  to  +0.5}", d, Param::d},
        {"Entre a value for (aa)    {Try  -5.0  to  +5.0}", a, Param::aa},
        {"Entre a value for (bb)    {Try  -2.5  to  +2.5}", b, Param::bb},
        {"Entre a value for (cc)    {Try  -1.0  to  +1.0}", c, Param::cc},
        {"Entre a value for (dd)    {Try  -0.5  to  +0.5}", d, Param::dd},
    }};
}

} // namespace quorvane
