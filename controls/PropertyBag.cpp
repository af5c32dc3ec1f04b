#include "controls/PropertyBag.h"

#include <limits>

void PropertyBag::Write(const QString& key, const QVariant& value) {
    const int i = IndexOf(key);
    if (i >= 0) {
        items_[i].second = value;
        return;
    }
    items_.append({key, value});
}

bool PropertyBag::Contains(const QString& key) const {
    return IndexOf(key) >= 0;
}

QVariant PropertyBag::Read(const QString& key) const {
    const int i = IndexOf(key);
    return i >= 0 ? items_[i].second : QVariant();
}

bool PropertyBag::Remove(const QString& key) {
    const int i = IndexOf(key);
    if (i < 0) {
        return false;
    }
    items_.removeAt(i);
    return true;
}

QStringList PropertyBag::Keys() const {
    QStringList keys;
    for (const auto& item : items_) {
        keys.append(item.first);
    }
    return keys;
}

int PropertyBag::IndexOf(const QString& key) const {
    for (int i = 0; i < items_.size(); ++i) {
        if (items_[i].first == key) {
            return i;
        }
    }
    return -1;
}

bool PropertyBag::ReadWide(const QString& key, qint64* out) const {
    const QVariant v = Read(key);
    if (!v.isValid() || v.isNull()) {
        return false;
    }
    bool ok = false;
    qint64 n = 0;
    switch (v.typeId()) {
        case QMetaType::Bool:
            n = v.toBool() ? -1 : 0;
            ok = true;
            break;
        case QMetaType::Double:
        case QMetaType::Float: {
            const double d = v.toDouble();
            ok = d >= -9.2e18 && d <= 9.2e18 && d == static_cast<double>(static_cast<qint64>(d));
            n = ok ? static_cast<qint64>(d) : 0;
            break;
        }
        case QMetaType::QString:
            n = v.toString().trimmed().toLongLong(&ok, 0);
            break;
        default:
            n = v.toLongLong(&ok);
            break;
    }
    if (ok) {
        *out = n;
    }
    return ok;
}

qint32 PropertyBag::ReadInt(const QString& key, qint32 def) const {
    return ReadRange(key, def, std::numeric_limits<qint32>::min(),
                     std::numeric_limits<qint32>::max());
}

qint32 PropertyBag::ReadRange(const QString& key, qint32 def, qint32 lo, qint32 hi) const {
    qint64 n = 0;
    if (!ReadWide(key, &n) || n < lo || n > hi) {
        return def;
    }
    return static_cast<qint32>(n);
}

quint32 PropertyBag::ReadColor(const QString& key, quint32 def) const {
    qint64 n = 0;
    if (!ReadWide(key, &n)) {
        return def;
    }
    if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<quint32>::max()) {
        return def;
    }
    return static_cast<quint32>(n);  // a negative 32-bit value is the same colour word
}

bool PropertyBag::ReadBool(const QString& key, bool def) const {
    const QVariant v = Read(key);
    if (v.typeId() == QMetaType::Bool) {
        return v.toBool();
    }
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        if (s == "true") {
            return true;
        }
        if (s == "false") {
            return false;
        }
    }
    qint64 n = 0;
    if (!ReadWide(key, &n)) {
        return def;
    }
    return n != 0;
}

QString PropertyBag::ReadString(const QString& key, const QString& def) const {
    const QVariant v = Read(key);
    if (!v.isValid() || !v.canConvert<QString>()) {
        return def;
    }
    return v.toString();
}

QFont PropertyBag::ReadFont(const QString& key, const QFont& def) const {
    const QVariant v = Read(key);
    if (v.typeId() == QMetaType::QFont) {
        return v.value<QFont>();
    }
    if (v.typeId() == QMetaType::QString) {
        QFont f;
        if (f.fromString(v.toString())) {
            return f;
        }
    }
    return def;
}

QVariant PropertyBag::ReadVariant(const QString& key, const QVariant& def) const {
    return Contains(key) ? Read(key) : def;
}
