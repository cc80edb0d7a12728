#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

namespace quorvane {
class FormEvents;
}

namespace quorvane::qt {

// Hands every key press on frm1 to Form_KeyDown and Form_KeyPress, whichever widget has the
// keyboard focus: it filters the events of the top-level window itself, before Qt gives them to
// the focus widget. So Tab never moves focus, and Escape still arrives after the menu bar has
// been used with Alt and kept the focus. Keys pressed in a dialog or an open menu belong to
// those windows and are not seen here.
class KeyRouter final : public QObject {
    Q_OBJECT

public:
    explicit KeyRouter(FormEvents& form, QObject* parent = nullptr);

    // The key code Form_KeyDown gets for a Qt key; 0 for keys the program has no code for.
    static int keyCode(int qtKey);
    // The character Form_KeyPress gets, or 0 for none. Ctrl with a letter gives its control
    // character, as it does on a terminal, so Ctrl+c is not 'c'.
    static int charCode(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FormEvents& m_form;
};

} // namespace quorvane::qt
