#pragma once

#include "app/frm1.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quorvane::test {

// Chooses the menu entry of that name on any window, as a click would.
inline void chooseMenu(Frm1& form, std::string_view name)
{
    const auto items = form.menuItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].name == name)
            return form.menuClick(i);
    ADD_FAILURE() << "no menu entry " << name;
}

// frm1 on the fake platform, loaded as at start-up.
class FormFixture : public ::testing::Test {
protected:
    FormFixture()
    {
        frm1.Form_Load();
        platform.calls.clear();
    }

    // Chooses the menu entry of that name, as a click would.
    void choose(std::string_view name) { chooseMenu(frm1, name); }

    // Schedules an action for one pump of the event loop.
    void atPump(long pump, std::function<void()> action)
    {
        auto previous = std::move(platform.onPump);
        platform.onPump = [pump, action = std::move(action), previous](long n) {
            if (previous)
                previous(n);
            if (n == pump)
                action();
        };
    }

    void pressEscape() { frm1.Form_KeyDown(KeyCode::Escape, 0); }

    FakePlatform platform;
    Frm1 frm1 {platform};
};

} // namespace quorvane::test
