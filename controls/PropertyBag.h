#pragma once

#include <QFont>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// The host window's store of saved control properties: key -> value, kept in the
// order written so that a saved form lists its keys as the control wrote them.
// Every typed reader falls back to the given default when the key is missing or its
// value cannot be read as that type.
class PropertyBag {
  public:
    void Write(const QString& key, const QVariant& value);
    bool Contains(const QString& key) const;
    QVariant Read(const QString& key) const;  // invalid QVariant when missing
    bool Remove(const QString& key);
    void Clear() { items_.clear(); }
    QStringList Keys() const;
    int Count() const { return static_cast<int>(items_.size()); }

    qint32 ReadInt(const QString& key, qint32 def) const;
    // An integer within [lo, hi]; anything else gives the default.
    qint32 ReadRange(const QString& key, qint32 def, qint32 lo, qint32 hi) const;
    // A 0x00BBGGRR colour or a system colour value (0x800000nn), signed or unsigned.
    quint32 ReadColor(const QString& key, quint32 def) const;
    bool ReadBool(const QString& key, bool def) const;
    QString ReadString(const QString& key, const QString& def) const;
    QFont ReadFont(const QString& key, const QFont& def) const;
    QVariant ReadVariant(const QString& key, const QVariant& def) const;

  private:
    int IndexOf(const QString& key) const;
    bool ReadWide(const QString& key, qint64* out) const;

    QList<QPair<QString, QVariant>> items_;
};
