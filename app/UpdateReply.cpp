#include "app/UpdateReply.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>
#include <array>

namespace zorix {

namespace {

enum class Field { Version, ReleaseDate, Message, Redirect, Beta };

struct KeyMeaning {
    const char16_t* key;
    Field field;
};

// Every key the server may send, synonyms included; other keys are ignored.
constexpr std::array<KeyMeaning, 11> kKeys = {{
    {u"version", Field::Version},
    {u"release_date", Field::ReleaseDate},
    {u"release date", Field::ReleaseDate},
    {u"rdate", Field::ReleaseDate},
    {u"msgbox", Field::Message},
    {u"msg", Field::Message},
    {u"say", Field::Message},
    {u"redir", Field::Redirect},
    {u"redirect", Field::Redirect},
    {u"isbeta", Field::Beta},
    {u"beta", Field::Beta},
}};

constexpr std::array<const char*, 12> kDateFormats = {
    "yyyy-M-d", "yyyy/M/d",   "yyyy.M.d",    "M/d/yyyy",    "d/M/yyyy",     "d.M.yyyy",
    "d-M-yyyy", "d MMM yyyy", "d MMMM yyyy", "MMM d, yyyy", "MMMM d, yyyy", "yyyyMMdd"};

const QLatin1StringView kEndMark("[EOF]");

bool FieldOf(const QString& key, Field* field) {
    for (const KeyMeaning& entry : kKeys) {
        if (key == QStringView(entry.key)) {
            *field = entry.field;
            return true;
        }
    }
    return false;
}

bool IsUsedLine(const QString& line) {
    return !line.isEmpty() && line.contains(u'=') && !line.startsWith(u'@');
}

}  // namespace

bool IsValidReply(const QString& text) {
    return text.size() >= kEndMark.size() && text.right(kEndMark.size()).toUpper() == kEndMark;
}

QDate ParseReleaseDate(const QString& text) {
    const QString value = text.trimmed();
    if (value.isEmpty()) {
        return {};
    }
    const QLocale c = QLocale::c();
    for (const char* format : kDateFormats) {
        const QDate date = c.toDate(value, QString::fromLatin1(format));
        if (date.isValid()) {
            return date;
        }
    }
    const QDateTime moment = QDateTime::fromString(value, Qt::ISODate);
    if (moment.isValid()) {
        return moment.date();
    }
    return QDateTime::fromString(value, Qt::RFC2822Date).date();
}

UpdateReply ReadReply(const QString& text, bool mayRedirect) {
    UpdateReply reply;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        if (!IsUsedLine(line)) {
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        Field field;
        if (!FieldOf(key, &field)) {
            continue;
        }
        switch (field) {
            case Field::Version:
                reply.version = value;
                break;
            case Field::ReleaseDate:
                if (const QDate date = ParseReleaseDate(value); date.isValid()) {
                    reply.releaseDate = date;
                }
                break;
            case Field::Message:
                reply.message = value;
                break;
            case Field::Redirect:
                if (mayRedirect && !value.isEmpty()) {
                    return UpdateReply{{}, {}, {}, value};
                }
                break;
            case Field::Beta:
                break;
        }
    }
    return reply;
}

}  // namespace zorix
