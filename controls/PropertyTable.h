#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <limits>
#include <type_traits>
#include <variant>
#include <vector>

#include "controls/PropertyBag.h"
#include "controls/PropertyRows.h"

// One persisted property of a control: the key it is saved under, the member that holds
// it, its default and, for integers, the range a value must fall in. The control's table
// of rows is the one place these facts stand; the setters, the saved-form reading and
// writing and the defaults all take them from there.

template <typename Control>
struct PropertyRow {
    using Member =
        std::variant<uint Control::*, int Control::*, bool Control::*, QString Control::*,
                     QFont Control::*, QVariant Control::*, QPixmap Control::*, WidgetFlag>;

    const char* key;
    Member member;
    QVariant def = {};
    qint32 lo = std::numeric_limits<qint32>::min();
    qint32 hi = std::numeric_limits<qint32>::max();
    // A default that depends on the control (its name, its ambient font); null when the
    // fixed default above applies.
    QVariant (*fallback)(const Control&) = nullptr;

    QVariant Default(const Control& c) const { return fallback ? fallback(c) : def; }
    PropertyFacts Facts() const { return {key, lo, hi}; }
    // The field of the control this row stands for; null for a flag of the widget.
    const void* FieldIn(const Control& c) const {
        return std::visit(
            [&c](auto m) -> const void* {
                if constexpr (std::is_same_v<decltype(m), WidgetFlag>) {
                    return nullptr;
                } else {
                    return &(c.*m);
                }
            },
            member);
    }
};

// Defaults taken from the control: a caption defaults to the control's name, a font to
// the widget's ambient font.
template <typename Control>
QVariant NameDefault(const Control& c) {
    return c.objectName();
}
template <typename Control>
QVariant AmbientFontDefault(const Control& c) {
    return c.QWidget::font();
}

template <typename Control>
class PropertyTable : public PropertyRows {
  public:
    using Row = PropertyRow<Control>;

    PropertyTable(std::initializer_list<Row> rows) : rows_(rows) {}

    const std::vector<Row>& Rows() const { return rows_; }

    PropertyFacts FactsOf(const QWidget& control, const void* field) const override {
        const Control& c = static_cast<const Control&>(control);
        for (const Row& row : rows_) {
            if (row.FieldIn(c) == field) {
                return row.Facts();
            }
        }
        Q_UNREACHABLE();
    }
    const char* KeyOfFlag(const WidgetFlag& flag) const override {
        for (const Row& row : rows_) {
            const auto* f = std::get_if<WidgetFlag>(&row.member);
            if (f != nullptr && *f == flag) {
                return row.key;
            }
        }
        return nullptr;
    }
    void ApplyDefaults(Control& c) const {
        for (const Row& row : rows_) {
            Assign(c, row, row.Default(c));
        }
    }

    // Every row from the bag; a missing or unreadable value takes the row's default.
    void Read(Control& c, const PropertyBag& bag) const {
        for (const Row& row : rows_) {
            Assign(c, row, ReadOne(c, row, bag));
        }
    }

    void Write(const Control& c, PropertyBag& bag) const {
        for (const Row& row : rows_) {
            bag.Write(row.key, Saved(c, row));
        }
    }

    void ReadInto(QWidget& control, const PropertyBag& bag) const override {
        Read(static_cast<Control&>(control), bag);
    }
    void WriteFrom(const QWidget& control, PropertyBag& bag) const override {
        Write(static_cast<const Control&>(control), bag);
    }

    // The value as the bag stores it.
    static QVariant Saved(const Control& c, const Row& row) {
        return std::visit(
            [&c](auto m) -> QVariant {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, WidgetFlag>) {
                    return (c.*m.get)();
                } else if constexpr (std::is_same_v<M, QFont Control::*>) {
                    return (c.*m).toString();
                } else if constexpr (std::is_same_v<M, QPixmap Control::*>) {
                    return (c.*m).isNull() ? QVariant() : QVariant(c.*m);
                } else if constexpr (std::is_same_v<M, QVariant Control::*>) {
                    return c.*m;
                } else {
                    return QVariant::fromValue(c.*m);
                }
            },
            row.member);
    }

  private:
    static QVariant ReadOne(const Control& c, const Row& row, const PropertyBag& bag) {
        const QVariant def = row.Default(c);
        return std::visit(
            [&](auto m) -> QVariant {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, uint Control::*>) {
                    return bag.ReadColor(row.key, def.toUInt());
                } else if constexpr (std::is_same_v<M, int Control::*>) {
                    return bag.ReadRange(row.key, def.toInt(), row.lo, row.hi);
                } else if constexpr (std::is_same_v<M, bool Control::*> ||
                                     std::is_same_v<M, WidgetFlag>) {
                    return bag.ReadBool(row.key, def.toBool());
                } else if constexpr (std::is_same_v<M, QString Control::*>) {
                    return bag.ReadString(row.key, def.toString());
                } else if constexpr (std::is_same_v<M, QFont Control::*>) {
                    return bag.ReadFont(row.key, def.value<QFont>());
                } else if constexpr (std::is_same_v<M, QPixmap Control::*>) {
                    const QVariant pic = bag.Read(row.key);
                    return pic.canConvert<QPixmap>() ? pic : def;
                } else {
                    return bag.ReadVariant(row.key, def);
                }
            },
            row.member);
    }

    static void Assign(Control& c, const Row& row, const QVariant& value) {
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, WidgetFlag>) {
                    (c.*m.set)(value.toBool());
                } else if constexpr (std::is_same_v<M, QVariant Control::*>) {
                    c.*m = value;
                } else {
                    using T = std::remove_reference_t<decltype(c.*m)>;
                    c.*m = value.value<T>();
                }
            },
            row.member);
    }

    std::vector<Row> rows_;
};
