#include "button/AccessKey.h"

namespace AccessKey {

Parsed Parse(const QString& caption) {
    Parsed out;
    for (int i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c != '&') {
            out.text.append(c);
            continue;
        }
        if (i + 1 < caption.size() && caption[i + 1] == '&') {
            out.text.append('&');
            ++i;
            continue;
        }
        if (i + 1 < caption.size()) {
            out.index = static_cast<int>(out.text.size());
            out.key = caption[i + 1];
        }
    }
    if (out.index >= 0) {
        out.key = out.key.toUpper();
    }
    return out;
}

}  // namespace AccessKey
