#pragma once

#include <QString>
#include <QtGlobal>

#include "controls/colorFuncs.h"

// The tooltip options a control carries in its ExProp text: items "key=value"
// separated by ";", keys and values compared in lower case.
struct TooltipOptions {
    QString Title;
    int Icon = 0;   // 0 none, 1 information, 2 warning, 3 error
    int Style = 0;  // 0 standard, 1 balloon
    bool Centered = false;
    quint32 ForeColor = colorFuncs::kSysInfoText;
    quint32 BackColor = colorFuncs::kSysInfoBack;
    bool MultiLine = true;

    // Resets to the defaults above, then applies every recognised item of the text.
    void Parse(const QString& exProp);
};

// A whole number as the options and commands accept it: decimal, or hexadecimal with
// a "0x" or "&H" prefix, optionally negative. False when the text is not one.
bool ParseWholeNumber(const QString& text, qint64* out);
