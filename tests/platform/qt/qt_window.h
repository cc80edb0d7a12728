#pragma once

#include "app/frm1.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace quorvane::qt {

inline constexpr QRgb kGreen = 0xFF00FF00;
inline constexpr QRgb kRed = 0xFFFF0000;
inline constexpr QRgb kBlue = 0xFF000080; // palette colour 1, the second press of 'c'

// Every pixel of the colour.
inline QList<QPoint> marks(const QImage& image, QRgb colour)
{
    QList<QPoint> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                found << QPoint(x, y);
    return found;
}

inline bool contains(const QImage& image, QRgb colour) { return !marks(image, colour).isEmpty(); }

// frm1 on the real Qt platform, its window shown. Every modal dialog is answered as it opens,
// and what it showed is recorded: an input box with the next text of typed, or as offered
// when there is none (or it is nothing); the save dialog by onSaveDialog (once; opened again,
// it is cancelled); the question before replacing a file with Yes; any other message box
// with OK.
class QtWindow : public ::testing::Test {
protected:
    QtWindow()
    {
        platform.open(frm1);
        window().showNormal(); // it opens maximized
        window().setGeometry(40, 40, 640, 480);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
        QObject::connect(&m_dialogTimer, &QTimer::timeout, [this] { answerDialog(); });
        m_dialogTimer.start(10);
    }

    MainWindow& window() const { return *platform.window(); }
    QWindow* handle() const { return window().windowHandle(); }

    struct Asked {
        QString title, label, text;
    };
    struct Shown {
        QString title, text, detail;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    };
    std::vector<Asked> asked; // input boxes, with the text they offered
    std::deque<std::optional<QString>> typed;
    std::vector<Shown> shown; // message boxes
    std::function<void(QFileDialog&)> onSaveDialog;

    QtPlatform platform;
    Frm1 frm1 {platform};

private:
    void answerDialog()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            asked.push_back({input->windowTitle(), input->labelText(), input->textValue()});
            if (!typed.empty()) {
                if (typed.front())
                    input->setTextValue(*typed.front());
                typed.pop_front();
            }
            input->accept();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (auto action = std::exchange(onSaveDialog, nullptr))
                action(*dialog);
            else
                dialog->reject();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown.push_back({box->windowTitle(), box->text(), box->informativeText(), box->icon(),
                box->standardButtons()});
            const bool question = box->button(QMessageBox::Yes) != nullptr;
            box->button(question ? QMessageBox::Yes : QMessageBox::Ok)->click();
        }
    }

    QTimer m_dialogTimer;
};

} // namespace quorvane::qt
