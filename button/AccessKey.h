#pragma once

#include <QChar>
#include <QString>

// Caption markup of the button: "&&" prints a literal "&"; a single "&" is not printed
// and marks the next character; the character after the last single "&" is the access
// key and is underlined.
namespace AccessKey {

struct Parsed {
    QString text;    // the caption as printed
    int index = -1;  // position of the underlined character in text, -1 for none
    QChar key;       // the access key, null for none
};

Parsed Parse(const QString& caption);

}  // namespace AccessKey
