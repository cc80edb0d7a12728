#pragma once

#include <QMainWindow>

#include <functional>

namespace quorvane {
class FormEvents;
}

namespace quorvane::qt {

class DrawingArea;

// The top-level window frm1: caption, icon, black background, the menu bar built from the
// program's menu table, and the drawing area. It raises the window's events on the form.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(FormEvents& form);

    DrawingArea& drawingArea() const { return *m_drawingArea; }

    // Called before Form_Resize, so the form reads the new sizes.
    void setMetricsUpdater(std::function<void()> updater) { m_updateMetrics = std::move(updater); }

    // Watches the native window for the moves and resizes that come with the window manager's
    // frame. Call once the native window exists.
    void watchFrame();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void raiseResize();
    void raiseResizeIfOuterSizeChanged();

    FormEvents& m_form;
    DrawingArea* m_drawingArea = nullptr;
    std::function<void()> m_updateMetrics;
    QSize m_fittedOuterSize; // the outer size the last Form_Resize saw
};

} // namespace quorvane::qt
