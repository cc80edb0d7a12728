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

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void raiseResize();

    FormEvents& m_form;
    DrawingArea* m_drawingArea = nullptr;
    std::function<void()> m_updateMetrics;
};

} // namespace quorvane::qt
