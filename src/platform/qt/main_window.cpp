#include "platform/qt/main_window.h"

#include "platform/form_events.h"
#include "platform/qt/drawing_area.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QWindow>

namespace quorvane::qt {

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

MainWindow::MainWindow(FormEvents& form)
    : m_form(form)
    , m_drawingArea(new DrawingArea(this))
{
    setObjectName(QStringLiteral("frm1"));
    m_drawingArea->setObjectName(QStringLiteral("drawingArea"));
    setCentralWidget(m_drawingArea);
    // The window's keyboard focus is the drawing area's, from the start.
    setFocusProxy(m_drawingArea);
    setFocus();
    buildMenus();
}

void MainWindow::buildMenus()
{
    menuBar()->setNativeMenuBar(false);

    const std::span<const MenuItem> items = m_form.menuItems();
    QMenu* submenu = nullptr;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        if (item.kind == MenuItem::Kind::Submenu) {
            submenu = menuBar()->addMenu(fromView(item.caption));
            submenu->setObjectName(fromView(item.name));
            continue;
        }
        QWidget* owner = item.kind == MenuItem::Kind::SubmenuItem && submenu != nullptr
            ? static_cast<QWidget*>(submenu)
            : menuBar();
        auto* action = new QAction(fromView(item.caption), owner);
        action->setObjectName(fromView(item.name));
        owner->addAction(action);
        // Run the command from the event loop rather than from inside the menu's own code, so
        // a run that goes on for hours does not hold the menu in the middle of a click.
        connect(action, &QAction::triggered, this, [this, i] {
            QMetaObject::invokeMethod(
                this, [this, i] { m_form.menuClick(i); }, Qt::QueuedConnection);
        });
    }
}

void MainWindow::raiseResize()
{
    m_fittedOuterSize = frameGeometry().size();
    if (m_updateMetrics)
        m_updateMetrics();
    m_form.Form_Resize();
}

void MainWindow::watchFrame()
{
    if (QWindow* native = windowHandle())
        native->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A window manager puts its frame around the window after the first showing, and may change
    // it later without touching the client area. No resize then reaches the widget, but the
    // native window is moved, or sent a resize of the same size.
    // The widget learns the new frame only once that event has been handled, so the outer size
    // is compared afterwards, from the event loop.
    if (watched == windowHandle()
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        QMetaObject::invokeMethod(
            this, [this] { raiseResizeIfOuterSizeChanged(); }, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::raiseResizeIfOuterSizeChanged()
{
    if (frameGeometry().size() != m_fittedOuterSize)
        raiseResize();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    raiseResize();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        raiseResize(); // minimizing and restoring count as resizes
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    m_form.Form_Unload();
}

} // namespace quorvane::qt
