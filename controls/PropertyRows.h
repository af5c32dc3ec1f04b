#pragma once

#include <limits>
#include <type_traits>

#include <QWidget>

class PropertyBag;

// What a property-table row states about its property apart from the member: the key it
// is saved and announced under and, for integers, the range a value must fall in.
struct PropertyFacts {
    const char* key = nullptr;
    qint32 lo = std::numeric_limits<qint32>::min();
    qint32 hi = std::numeric_limits<qint32>::max();

    template <typename T>
    bool Admits(const T& value) const {
        if constexpr (std::is_same_v<T, int>) {
            return value >= lo && value <= hi;
        } else {
            return true;
        }
    }
};

// A flag the widget keeps itself, reached through its accessors.
struct WidgetFlag {
    bool (QWidget::*get)() const;
    void (QWidget::*set)(bool);
    bool operator==(const WidgetFlag&) const = default;
};
// The enabled state, which the widget keeps itself.
inline constexpr WidgetFlag kEnabledFlag{&QWidget::isEnabled, &QWidget::setEnabled};

// A control's property table as the shared control base sees it, without the control's
// type: the base reads and writes the saved form through it and finds the row of a field
// it holds by the field's address in the control.
class PropertyRows {
  public:
    // Out of line, so that the interface is defined in the control library alone.
    virtual ~PropertyRows();

    virtual void ReadInto(QWidget& control, const PropertyBag& bag) const = 0;
    virtual void WriteFrom(const QWidget& control, PropertyBag& bag) const = 0;
    // The row whose member is the field at this address of the control; every field a
    // setter names has one.
    virtual PropertyFacts FactsOf(const QWidget& control, const void* field) const = 0;
    // The key of the row for a flag of the widget; null when the flag is not saved.
    virtual const char* KeyOfFlag(const WidgetFlag& flag) const = 0;
};
