#pragma once

#include "platform/form_events.h"
#include "run/form.h"

#include <string>

namespace quorvane {

// The program's one window: its start-up, fitting pic1, the keys, the lifecycle and the menu
// commands. The platform raises the events; the menu table maps each entry to its handler.
class Frm1 final : public Form, public FormEvents {
public:
    explicit Frm1(Platform& platform)
        : Form(platform)
    {
    }

    static constexpr std::string_view kStartCaption = " Zemlar :   The  Quorvane  Effect.";

    void Form_Load() override;
    void Form_Resize() override;
    void Form_KeyDown(std::int16_t keyCode, std::int16_t shift) override;
    void Form_KeyPress(std::int16_t charCode) override;
    void Form_Unload() override;
    void Form_Deactivate() override;
    void Form_Terminate() override;

    std::span<const MenuItem> menuItems() const override;
    void menuClick(std::size_t index) override;

    void mnuExit_Click();
    void mnuE1_Click();
    void mnuE8_Click();
    void mnuHop1_Click();
    void mnuLOR1_Click();
    void mnuPIK2_Click();
    void mnuROS_Click();
    void mnu3P4_Click();
    void mnuThreeply_Click();
    void mnuSave_Click();
    void mnuAbout_Click();
    // mnuReset_Click comes from Form.

private:
    // 'c': the next palette colour for both backgrounds.
    void cycleBackground();

    // The name the save dialog returned last, offered again by the next Save.
    std::string m_saveFileName;
};

} // namespace quorvane
