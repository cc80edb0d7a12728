#include "platform/qt/qt_platform.h"

#include "platform/form_events.h"
#include "platform/qt/bitmap_file.h"
#include "platform/qt/drawing_area.h"
#include "platform/qt/key_router.h"
#include "platform/qt/main_window.h"
#include "platform/qt/number_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QIcon>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

#include <cmath>

// The window's 32 x 32 icon, as XPM source.
#include "quorvane.xpm"

namespace quorvane::qt {

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Image pixels for a length in twips, or -1 when the length is not one a surface can take.
// Twips count logical pixels; an image holds devicePixelRatio pixels for each of them.
int pixelsFor(float twips, double twipsPerPixel, qreal devicePixelRatio)
{
    const double pixels = std::round(static_cast<double>(twips) / twipsPerPixel * devicePixelRatio);
    if (!(pixels >= 1 && pixels <= RasterSurface::kMaxPixels))
        return -1;
    return static_cast<int>(pixels);
}

} // namespace

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() { QObject::disconnect(m_activation); }

void QtPlatform::open(FormEvents& form)
{
    m_window = std::make_unique<MainWindow>(form);
    m_window->setWindowIcon(QIcon(QPixmap(quorvane_xpm)));
    m_window->setMetricsUpdater([this] { updateMetrics(); });
    updateMetrics();
    form.Form_Load();

    // Lorenz reaches about 900 x 850 pixels, so take the whole available screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_window->setGeometry(screen->availableGeometry());
    m_window->winId(); // create the native window, so its key events can be filtered
    m_keys = std::make_unique<KeyRouter>(form);
    m_window->windowHandle()->installEventFilter(m_keys.get());
    watchActivation(form);
    m_window->show();
}

void QtPlatform::watchActivation(FormEvents& form)
{
    // Only another top-level window of this program ends it. The program's own dialogs are
    // transient for frm1, menus are popups, and another application's window is no window of
    // ours at all (Qt reports that as no focus window).
    m_activation = QObject::connect(
        qApp, &QGuiApplication::focusWindowChanged, qApp, [this, &form](QWindow* now) {
            if (now == nullptr || m_window == nullptr || now == m_window->windowHandle())
                return;
            if (now->transientParent() != nullptr)
                return;
            if (now->type() != Qt::Window && now->type() != Qt::Dialog)
                return;
            form.Form_Deactivate();
        });
}

double QtPlatform::twipsPerPixel() const
{
    return m_window ? m_window->drawingArea().twipsPerPixel() : 15.0;
}

void QtPlatform::updateMetrics()
{
    const double tpp = twipsPerPixel();
    const DrawingArea& area = m_window->drawingArea();
    const bool minimized = m_window->isMinimized();
    const QRect frame = m_window->frameGeometry();
    // pic1 is held at device resolution like the window, so what Save writes is as sharp as
    // what the screen shows.
    m_picture.setDevicePixelRatio(m_window->devicePixelRatioF());
    setMetrics({
        .scaleWidth = minimized ? 0.0f : static_cast<float>(area.width() * tpp),
        .scaleHeight = minimized ? 0.0f : static_cast<float>(area.height() * tpp),
        .width = static_cast<float>(frame.width() * tpp),
        .height = static_cast<float>(frame.height() * tpp),
    });
}

void QtPlatform::plot(Surface surface, float x, float y, Rgb colour)
{
    const QRgb argb = 0xFF000000u | colour;
    if (surface == Surface::Window)
        m_window->drawingArea().plot(x, y, argb);
    else
        m_picture.plot(x, y, argb);
}

void QtPlatform::clear(Surface surface)
{
    if (surface == Surface::Window)
        m_window->drawingArea().clear();
    else
        m_picture.clear();
}

void QtPlatform::setBackColor(Surface surface, Rgb colour)
{
    const QRgb argb = 0xFF000000u | colour;
    if (surface == Surface::Window)
        m_window->drawingArea().setBackColor(argb);
    else
        m_picture.setBackColor(argb);
}

void QtPlatform::refresh(Surface surface)
{
    // pic1 is never shown, so it has nothing to bring up to date.
    if (surface == Surface::Window && m_window->isVisible())
        m_window->drawingArea().refresh();
}

void QtPlatform::setPictureHeight(float twips)
{
    if (const int pixels = pixelsFor(twips, twipsPerPixel(), m_picture.devicePixelRatio());
        pixels > 0)
        m_picture.resize(QSize(m_picture.size().width(), pixels));
}

void QtPlatform::setPictureWidth(float twips)
{
    if (const int pixels = pixelsFor(twips, twipsPerPixel(), m_picture.devicePixelRatio());
        pixels > 0)
        m_picture.resize(QSize(pixels, m_picture.size().height()));
}

void QtPlatform::setPictureScaleHeight(float units) { m_picture.setScaleHeight(units); }

void QtPlatform::setPictureScaleWidth(float units) { m_picture.setScaleWidth(units); }

void QtPlatform::setCaption(std::string_view caption)
{
    m_window->setWindowTitle(fromView(caption));
}

std::string QtPlatform::inputBox(
    std::string_view prompt, std::string_view title, std::string_view defaultText)
{
    if (m_ended)
        return {};
    QInputDialog dialog(m_window.get());
    dialog.setObjectName(QStringLiteral("inputBox"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(fromView(title));
    dialog.setLabelText(fromView(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    dialog.setTextValue(fromView(defaultText));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    takeBackFocus();
    if (!accepted)
        return {};
    return dialog.textValue().toStdString();
}

std::optional<double> QtPlatform::toNumber(std::string_view text) const
{
    return localeToNumber(fromView(text), QLocale());
}

std::string QtPlatform::numberText(double value) const
{
    return localeNumberText(value, QLocale()).toStdString();
}

void QtPlatform::messageBox(const Message& message)
{
    if (m_ended)
        return;
    const QMessageBox::Icon icon
        = message.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    const QString title
        = message.title.empty() ? QStringLiteral("Quorvane") : fromView(message.title);
    QMessageBox box(icon, title,
        fromView(message.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
        QMessageBox::Ok, m_window.get());
    box.setObjectName(QStringLiteral("messageBox"));
    if (!message.detail.empty())
        box.setInformativeText(
            fromView(message.detail).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.exec();
    takeBackFocus();
}

std::optional<std::string> QtPlatform::saveFileName(const SaveDialogRequest& request)
{
    if (m_ended)
        return std::nullopt;
    // "Description|*.EXT" becomes "Description (*.EXT *.ext)": file names on this system are
    // case-sensitive, so the lower-case spelling is listed as well.
    const QString filter = fromView(request.filter);
    const QString description = filter.section(QLatin1Char('|'), 0, 0);
    const QString pattern = filter.section(QLatin1Char('|'), 1, 1);
    QFileDialog dialog(m_window.get());
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(fromView(request.defaultExtension));
    // Qt's dialog always takes long names and has no read-only check box, so only the
    // overwrite prompt is left to choose.
    dialog.setOption(
        QFileDialog::DontConfirmOverwrite, (request.flags & SaveFlag::OverwritePrompt) == 0);
    dialog.setNameFilter(QStringLiteral("%1 (%2 %3)").arg(description, pattern, pattern.toLower()));
    if (!request.fileName.empty())
        dialog.selectFile(fromView(request.fileName));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    takeBackFocus();
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<std::string> QtPlatform::writePicture(std::string_view fileName)
{
    if (const std::optional<QString> reason = writeBitmap(m_picture.image(), fromView(fileName)))
        return reason->toStdString();
    return std::nullopt;
}

void QtPlatform::takeBackFocus()
{
    // Window managers hand the focus back to the window a dialog belonged to; without one the
    // focus would stay nowhere, and the menu bar's access keys would stop working.
    if (m_window && m_window->isVisible())
        m_window->activateWindow();
}

void QtPlatform::processEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtPlatform::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_window)
        m_window->hide();
    QCoreApplication::exit(0);
}

} // namespace quorvane::qt
