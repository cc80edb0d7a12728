#include "app/frm1.h"

#include <optional>
#include <string>

namespace quorvane {

namespace {

constexpr std::string_view kNotSaved = "Image not saved!";

constexpr std::string_view kAboutTitle = "Zemlar : The Quorvane Effect";
constexpr std::string_view kAboutText = "QUORVANE.EXE           (Ver 1.0)\r\n"
                                        "Written by the Quorvane developers\r\n"
                                        "Runs on Linux desktops with Qt 6\r\n"
                                        "\r\n"
                                        "Report problems through the project's issue tracker";

} // namespace

void Frm1::mnuSave_Click()
{
    // During a run this is called from the event pump, so the run waits while the dialog is
    // open and goes on from where it was once the picture is written.
    if (isUnloaded())
        return;
    Platform& p = platform();
    const std::optional<std::string> chosen = p.saveFileName({
        .defaultExtension = "BMP",
        .filter = "Bitmap|*.BMP",
        .flags = SaveFlag::OverwritePrompt | SaveFlag::HideReadOnly | SaveFlag::LongNames,
        .fileName = m_saveFileName,
    });
    if (isUnloaded()) // closed while the dialog was open
        return;
    if (!chosen) {
        p.messageBox({.text = kNotSaved, .title = {}, .icon = MessageIcon::Warning, .detail = {}});
        return;
    }
    m_saveFileName = *chosen;
    // A failed write is reported as well: the user must not believe a picture was kept when it
    // was not.
    if (const std::optional<std::string> reason = p.writePicture(m_saveFileName)) {
        const std::string detail = m_saveFileName + "\r\n" + *reason;
        p.messageBox(
            {.text = kNotSaved, .title = {}, .icon = MessageIcon::Warning, .detail = detail});
    }
}

void Frm1::mnuAbout_Click()
{
    if (!isUnloaded())
        platform().messageBox(
            {.text = kAboutText, .title = kAboutTitle, .icon = MessageIcon::None, .detail = {}});
}

} // namespace quorvane
