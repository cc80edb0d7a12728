#pragma once

#include "platform/platform.h"
#include "platform/qt/raster_surface.h"

#include <QMetaObject>

#include <memory>

namespace quorvane {
class FormEvents;
}

namespace quorvane::qt {

class KeyRouter;
class MainWindow;

// The platform on Qt 6 Widgets: frm1 is a MainWindow, pic1 an off-screen RasterSurface of the
// window's outer size in device pixels, the dialogs are Qt's, and the event pump is
// QCoreApplication's.
class QtPlatform final : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // Creates the window for the form, raises Form_Load and shows it maximized, so it shows the
    // attractors whole.
    void open(FormEvents& form);

    MainWindow* window() const { return m_window.get(); }
    const RasterSurface& picture() const { return m_picture; }
    // True once the program has been asked to end.
    bool hasEnded() const { return m_ended; }

    void plot(Surface surface, float x, float y, Rgb colour) override;
    void clear(Surface surface) override;
    void setBackColor(Surface surface, Rgb colour) override;
    void refresh(Surface surface) override;
    void setPictureHeight(float twips) override;
    void setPictureWidth(float twips) override;
    void setPictureScaleHeight(float units) override;
    void setPictureScaleWidth(float units) override;
    void setCaption(std::string_view caption) override;
    std::string inputBox(
        std::string_view prompt, std::string_view title, std::string_view defaultText) override;
    std::optional<double> toNumber(std::string_view text) const override;
    std::string numberText(double value) const override;
    void messageBox(const Message& message) override;
    std::optional<std::string> saveFileName(const SaveDialogRequest& request) override;
    std::optional<std::string> writePicture(std::string_view fileName) override;
    void processEvents() override;
    void endProgram() override;

private:
    void updateMetrics();
    void watchActivation(FormEvents& form);
    double twipsPerPixel() const;
    void takeBackFocus();

    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<KeyRouter> m_keys;
    RasterSurface m_picture;
    QMetaObject::Connection m_activation;
    bool m_ended = false;
};

} // namespace quorvane::qt
