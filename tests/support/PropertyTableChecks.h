#pragma once

// Checks that every control's property table must pass, written once for all controls:
// each row's default is what a form without the key reads, an integer outside the row's
// range reads as the default while its ends are kept, and every property survives a save
// and a read back into a fresh control.

#include <gtest/gtest.h>

#include <QFont>
#include <QMetaProperty>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QSignalSpy>
#include <QStringList>
#include <limits>
#include <type_traits>
#include <variant>

#include "controls/PropertyBag.h"
#include "controls/PropertyTable.h"

namespace PropertyTableChecks {

template <typename C>
using Row = PropertyRow<C>;

// The bag form of a row's value `v` (as the member holds it).
template <typename C>
QVariant SavedForm(const Row<C>& row, const QVariant& v) {
    return std::visit(
        [&v](auto m) -> QVariant {
            using M = decltype(m);
            if constexpr (std::is_same_v<M, QFont C::*>) {
                return v.value<QFont>().toString();
            } else if constexpr (std::is_same_v<M, QPixmap C::*>) {
                return v.value<QPixmap>().isNull() ? QVariant() : v;
            } else if constexpr (std::is_same_v<M, uint C::*>) {
                return v.toUInt();
            } else if constexpr (std::is_same_v<M, int C::*>) {
                return v.toInt();
            } else if constexpr (std::is_same_v<M, bool C::*> || std::is_same_v<M, WidgetFlag>) {
                return v.toBool();
            } else {
                return v;
            }
        },
        row.member);
}

inline bool IsInt(const QVariant& v) {
    return v.typeId() == QMetaType::Int;
}

template <typename C>
bool IsIntRow(const Row<C>& row) {
    return std::holds_alternative<int C::*>(row.member);
}

template <typename C>
bool HasRange(const Row<C>& row) {
    return IsIntRow(row) && (row.lo > std::numeric_limits<qint32>::min() ||
                             row.hi < std::numeric_limits<qint32>::max());
}

// A value other than the default that the row admits.
template <typename C>
QVariant OtherValue(const C& c, const Row<C>& row) {
    const QVariant def = row.Default(c);
    return std::visit(
        [&](auto m) -> QVariant {
            using M = decltype(m);
            if constexpr (std::is_same_v<M, uint C::*>) {
                return def.toUInt() ^ 0x123456u;
            } else if constexpr (std::is_same_v<M, int C::*>) {
                const int d = def.toInt();
                return d < row.hi ? d + 1 : d - 1;
            } else if constexpr (std::is_same_v<M, bool C::*> || std::is_same_v<M, WidgetFlag>) {
                return !def.toBool();
            } else if constexpr (std::is_same_v<M, QString C::*>) {
                return QString("saved ") + row.key;
            } else if constexpr (std::is_same_v<M, QFont C::*>) {
                QFont f = def.value<QFont>();
                f.setPointSize(f.pointSize() + 3);
                f.setItalic(!f.italic());
                return f;
            } else if constexpr (std::is_same_v<M, QPixmap C::*>) {
                QPixmap pix(4, 3);
                pix.fill(Qt::red);
                return pix;
            } else {
                return QString("extra");
            }
        },
        row.member);
}

template <typename C>
void ExpectSameSaved(const QVariant& got, const QVariant& want, const char* key) {
    if (want.typeId() == QMetaType::QPixmap) {
        ASSERT_TRUE(got.canConvert<QPixmap>()) << key;
        EXPECT_EQ(got.value<QPixmap>().size(), want.value<QPixmap>().size()) << key;
        return;
    }
    EXPECT_EQ(got, want) << key;
}

template <typename C>
void KeysAreThese(const QStringList& expected) {
    QStringList keys;
    for (const auto& row : C::Properties().Rows()) {
        keys.append(row.key);
    }
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size()) << "duplicate key";
    C c;
    PropertyBag bag;
    c.WriteProperties(bag);
    EXPECT_EQ(bag.Keys(), expected);
}

template <typename C>
void MissingKeysReadAsDefaults() {
    C c;
    c.setObjectName("host");
    PropertyBag empty;
    c.ReadProperties(empty);
    PropertyBag saved;
    c.WriteProperties(saved);
    for (const auto& row : C::Properties().Rows()) {
        ExpectSameSaved<C>(saved.Read(row.key), SavedForm(row, row.Default(c)), row.key);
    }
}

// `adjusted` names keys whose in-range values the control reduces further after reading
// (a check box's value by its style): for them only the out-of-range probes are checked.
template <typename C>
void IntegersOutsideTheRangeReadAsDefaults(const QStringList& adjusted = {}) {
    for (const auto& row : C::Properties().Rows()) {
        if (!HasRange(row)) {
            continue;
        }
        C c;
        const int def = row.Default(c).toInt();
        const qint64 probes[] = {qint64(row.lo) - 1, qint64(row.hi) + 1, row.lo, row.hi};
        for (const qint64 probe : probes) {
            PropertyBag bag;
            bag.Write(row.key, QVariant::fromValue(probe));
            c.ReadProperties(bag);
            PropertyBag saved;
            c.WriteProperties(saved);
            const bool inside = probe >= row.lo && probe <= row.hi;
            if (inside && adjusted.contains(row.key)) {
                continue;
            }
            EXPECT_EQ(saved.Read(row.key).toLongLong(), inside ? probe : def)
                << row.key << " read " << probe;
        }
    }
}

template <typename C>
void EveryPropertySurvivesSaveAndReadBack() {
    C first;
    PropertyBag given;
    for (const auto& row : C::Properties().Rows()) {
        given.Write(row.key, SavedForm(row, OtherValue(first, row)));
    }
    first.ReadProperties(given);
    PropertyBag saved;
    first.WriteProperties(saved);
    C second;
    second.ReadProperties(saved);
    PropertyBag again;
    second.WriteProperties(again);
    for (const auto& row : C::Properties().Rows()) {
        const QVariant want = given.Read(row.key);
        ExpectSameSaved<C>(saved.Read(row.key), want, row.key);
        ExpectSameSaved<C>(again.Read(row.key), want, row.key);
        EXPECT_NE(saved.Read(row.key), SavedForm(row, row.Default(first)))
            << row.key << " kept its default";
    }
}

// A value of the meta property's type other than `v`.
inline QVariant OtherOf(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
            return v.toInt() == 1 ? 0 : 1;
        case QMetaType::UInt:
            return v.toUInt() ^ 0x123456u;
        case QMetaType::Bool:
            return !v.toBool();
        case QMetaType::QString:
            return v.toString() + " changed";
        case QMetaType::QFont: {
            QFont f = v.value<QFont>();
            f.setItalic(!f.italic());
            return f;
        }
        case QMetaType::QPixmap: {
            QPixmap pix(4, 3);
            pix.fill(Qt::red);
            return pix;
        }
        default:
            return QString("extra");
    }
}

inline QStringList ChangedKeys(const PropertyBag& before, const PropertyBag& after) {
    QStringList changed;
    for (const QString& key : after.Keys()) {
        const QVariant a = before.Read(key);
        const QVariant b = after.Read(key);
        const bool pixmaps = a.typeId() == QMetaType::QPixmap || b.typeId() == QMetaType::QPixmap;
        if (pixmaps ? a.isNull() != b.isNull() : a != b) {
            changed.append(key);
        }
    }
    return changed;
}

// Whichever class declares a setter, it announces the key of the row that holds what it
// set: writing each property of a fresh control announces first the key of a saved value
// that changed, and a setter that changes no saved value announces no saved key.
// `quiet` names properties that change saved values without announcing them.
template <typename C>
void SettersAnnounceTheRowTheyChange(const QStringList& quiet = {}) {
    const QMetaObject& meta = C::staticMetaObject;
    for (int i = QWidget::staticMetaObject.propertyCount(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (!property.isWritable() || quiet.contains(property.name())) {
            continue;
        }
        C c;
        PropertyBag before;
        c.WriteProperties(before);
        QSignalSpy announced(&c, &C::PropertyChanged);
        ASSERT_TRUE(property.write(&c, OtherOf(property.read(&c)))) << property.name();
        PropertyBag after;
        c.WriteProperties(after);
        const QStringList changed = ChangedKeys(before, after);
        if (changed.isEmpty()) {
            for (const auto& signal : announced) {
                EXPECT_FALSE(before.Keys().contains(signal.at(0).toString()))
                    << property.name() << " announced a saved key it did not change";
            }
            continue;
        }
        ASSERT_FALSE(announced.isEmpty())
            << property.name() << " changed " << changed.join(",").toStdString();
        EXPECT_TRUE(changed.contains(announced.first().at(0).toString()))
            << property.name() << " announced " << announced.first().at(0).toString().toStdString()
            << " but changed " << changed.join(",").toStdString();
    }
}

}  // namespace PropertyTableChecks
