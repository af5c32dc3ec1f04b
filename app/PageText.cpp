#include "app/PageText.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace zorix {

namespace {

QString CharsetOf(const QString& contentType) {
    for (const QString& parameter : contentType.split(u';')) {
        const QString item = parameter.trimmed();
        if (item.startsWith(QLatin1StringView("charset="), Qt::CaseInsensitive)) {
            QString name = item.mid(8).trimmed();
            name.remove(u'"');
            return name;
        }
    }
    return {};
}

bool IsHtml(const QByteArray& body, const QString& contentType) {
    if (!contentType.isEmpty()) {
        return contentType.contains(QLatin1StringView("html"), Qt::CaseInsensitive);
    }
    // Without a type, a page that opens with markup is taken as HTML, as browsers do.
    return body.trimmed().startsWith('<');
}

QString Decoded(const QByteArray& body, const QString& contentType, bool html) {
    const QString charset = CharsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid()) {
            return decoder.decode(body);
        }
    }
    if (html) {
        QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
        if (decoder.isValid()) {
            return decoder.decode(body);
        }
    }
    return QString::fromUtf8(body);
}

QString HtmlAsText(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

QString WithCrLfLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

QString WithoutTrailingSpace(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace()) {
        --end;
    }
    return text.left(end);
}

}  // namespace

QString PageText(const QByteArray& body, const QString& contentType) {
    const bool html = IsHtml(body, contentType);
    QString text = Decoded(body, contentType, html);
    if (html) {
        text = HtmlAsText(text);
    }
    return WithoutTrailingSpace(WithCrLfLines(text));
}

}  // namespace zorix
