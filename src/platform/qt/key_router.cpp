#include "platform/qt/key_router.h"

#include "platform/form_events.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace quorvane::qt {

KeyRouter::KeyRouter(FormEvents& form, QObject* parent)
    : QObject(parent)
    , m_form(form)
{
}

int KeyRouter::keyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: // Shift+Tab arrives as Backtab
        return KeyCode::Tab;
    case Qt::Key_Escape:
        return KeyCode::Escape;
    case Qt::Key_Space:
        return KeyCode::Space;
    default:
        break;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey; // letters and digits share their codes with the upper-case characters
    return 0;
}

int KeyRouter::charCode(const QKeyEvent& event)
{
    const QString text = event.text();
    if (text.isEmpty())
        return 0;
    const char16_t ch = text.at(0).unicode();
    const bool letter = (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z');
    if (letter && (event.modifiers() & Qt::ControlModifier))
        return ch & 0x1F;
    return ch;
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);

    const auto& key = static_cast<const QKeyEvent&>(*event);
    const Qt::KeyboardModifiers mods = key.modifiers();
    const int shift = ((mods & Qt::ShiftModifier) ? 1 : 0) | ((mods & Qt::ControlModifier) ? 2 : 0)
        | ((mods & Qt::AltModifier) ? 4 : 0);
    const int code = keyCode(key.key());
    const int ch = charCode(key);

    // Keys the window acts on stop here; the rest go on to Qt, so the menu bar's keyboard
    // navigation and access keys keep working. A key the window acts on also ends that
    // navigation: the keyboard goes back to the window, so the menu bar does not wait, unseen,
    // for a Return that would choose its highlighted entry.
    const bool handled
        = code == KeyCode::Tab || code == KeyCode::Escape || code == KeyCode::Space || ch == 'c';
    QWidget* focus = QApplication::focusWidget();
    if (handled && focus != nullptr)
        focus->window()->setFocus(Qt::OtherFocusReason);

    if (code != 0)
        m_form.Form_KeyDown(static_cast<std::int16_t>(code), static_cast<std::int16_t>(shift));
    if (ch != 0)
        m_form.Form_KeyPress(static_cast<std::int16_t>(ch));
    return handled;
}

} // namespace quorvane::qt
