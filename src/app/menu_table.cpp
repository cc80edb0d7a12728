#include "app/frm1.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"

#include <array>

namespace quorvane {

namespace {

using Kind = MenuItem::Kind;

struct MenuRow {
    MenuItem item;
    void (Frm1::*handler)() = nullptr;
};

// The menu bar, left to right; the Equations entries follow their submenu.
const std::array<MenuRow, 13> kMenu = {{
    {{"mnuExit", "E&xit", Kind::Command}, &Frm1::mnuExit_Click},
    {{"mnuFormula1", "&Equations", Kind::Submenu}, nullptr},
    {{"mnuE1", "&Eqn 1", Kind::SubmenuItem}, &Frm1::mnuE1_Click},
    {{"mnuE8", "&Eqn 8", Kind::SubmenuItem}, &Frm1::mnuE8_Click},
    {{"mnuHop1", "&Hopalong", Kind::SubmenuItem}, &Frm1::mnuHop1_Click},
    {{"mnuLOR1", "&Lorenz", Kind::SubmenuItem}, &Frm1::mnuLOR1_Click},
    {{"mnuPIK2", "&Pickover", Kind::SubmenuItem}, &Frm1::mnuPIK2_Click},
    {{"mnuROS", "&Rossler", Kind::SubmenuItem}, &Frm1::mnuROS_Click},
    {{"mnu3P4", "&Starburst", Kind::SubmenuItem}, &Frm1::mnu3P4_Click},
    {{"mnuThreeply", "&Threeply", Kind::SubmenuItem}, &Frm1::mnuThreeply_Click},
    {{"mnuReset", "&RESET", Kind::Command}, &Frm1::mnuReset_Click},
    {{"mnuSave", "&Save!", Kind::Command}, &Frm1::mnuSave_Click},
    {{"mnuAbout", "&About", Kind::Command}, &Frm1::mnuAbout_Click},
}};

const std::array<MenuItem, kMenu.size()> kMenuItems = [] {
    std::array<MenuItem, kMenu.size()> items {};
    for (std::size_t i = 0; i < kMenu.size(); ++i)
        items[i] = kMenu[i].item;
    return items;
}();

} // namespace

std::span<const MenuItem> Frm1::menuItems() const { return kMenuItems; }

void Frm1::menuClick(std::size_t index)
{
    if (index < kMenu.size() && kMenu[index].handler != nullptr && !isUnloaded())
        (this->*kMenu[index].handler)();
}

void Frm1::mnuE1_Click() { quorvane::mnuE1_Click(*this); }
void Frm1::mnuE8_Click() { quorvane::mnuE8_Click(*this); }
void Frm1::mnuHop1_Click() { quorvane::mnuHop1_Click(*this); }
void Frm1::mnuLOR1_Click() { quorvane::mnuLOR1_Click(*this); }
void Frm1::mnuPIK2_Click() { quorvane::mnuPIK2_Click(*this); }
void Frm1::mnuROS_Click() { quorvane::mnuROS_Click(*this); }
void Frm1::mnu3P4_Click() { quorvane::mnu3P4_Click(*this); }
void Frm1::mnuThreeply_Click() { quorvane::mnuThreeply_Click(*this); }

} // namespace quorvane
