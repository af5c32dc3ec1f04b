#include "app/DigitEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "app/PaletteLimitRules.h"

namespace zorix {

DigitEdit::DigitEdit(QWidget* parent) : QLineEdit(parent) {
    // textEdited comes from the user only (typing, pasting, dropping), never from setText.
    connect(this, &QLineEdit::textEdited, this, &DigitEdit::KeepDigits);
}

void DigitEdit::keyPressEvent(QKeyEvent* event) {
    if (!IsAcceptedPaletteKey(event->text())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DigitEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Switching to another window or opening a menu is no leaving of the box.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        emit focusLost();
    }
}

void DigitEdit::KeepDigits(const QString& text) {
    const QString digits = PaletteDigitsOnly(text);
    if (digits == text) {
        return;
    }
    // The cursor stays behind the same digits it followed.
    const int cursor = static_cast<int>(PaletteDigitsOnly(text.left(cursorPosition())).size());
    setText(digits);
    setCursorPosition(cursor);
}

}  // namespace zorix
