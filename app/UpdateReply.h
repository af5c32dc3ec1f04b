#pragma once

#include <QDate>
#include <QString>

namespace zorix {

// What one reply of the version server says.
struct UpdateReply {
    QString version;    // newest version, dotted; empty when none was given
    QDate releaseDate;  // invalid when none (or no valid one) was given
    QString message;    // "text|title" for the user; empty when none
    QString redirect;   // a new request address to follow; empty when none
};

// A reply counts only when its last five characters are "[EOF]" in any case.
bool IsValidReply(const QString& text);

// Reads the "key = value" lines of a reply (CR LF separated; "@" starts a comment).
// With `mayRedirect`, the first redirect line with a value ends the reading: the
// result then holds only that address, every value read before it dropped. Without
// it, redirect lines are ignored and the reply is read to its end.
UpdateReply ReadReply(const QString& text, bool mayRedirect);

// A release date in one of the usual written forms; an invalid date for anything else.
QDate ParseReleaseDate(const QString& text);

}  // namespace zorix
