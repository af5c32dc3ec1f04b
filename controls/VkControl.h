#pragma once

#include <QVariant>
#include <QWidget>

#include "controls/PropertyBag.h"
#include "controls/PropertyTable.h"

// What every control of the libraries shares: the host's extra value, the enabled state
// as a property, the click signals, the change notice by saved-form key, and the reading
// and writing of the saved form through the control's property table. The setters take
// the key and range of a field from the row that names it, so each fact stands in the
// table alone.
class VkControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QVariant xtrVar READ xtrVar WRITE SetxtrVar)

  public:
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled);
    QVariant xtrVar() const { return xtrVar_; }
    void SetxtrVar(const QVariant& value);

    // Saved-form support: reading applies every row (a missing or malformed value takes
    // the row's default) without change notices and shows the result once at the end.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

  signals:
    void Click();
    void DblClick();
    void PropertyChanged(const QString& key);

  protected:
    explicit VkControl(QWidget* parent);

    // The colour a caption is drawn in: its own while enabled, the system's grey text
    // while disabled.
    QColor CaptionColor(uint color) const;

    // The control's property table.
    virtual const PropertyRows& Rows() const = 0;
    // Brings the look up to date with the properties.
    virtual void Refresh() = 0;
    // Corrections after a saved form is read, before the look is brought up to date.
    virtual void AfterReading() {}
    // Announces a changed property by its key and refreshes the look; both wait while a
    // saved form is read.
    virtual void Changed(const char* key);

    // Stores the value when the field's row admits it and announces the row's key;
    // returns whether the value was stored.
    template <typename T, typename V>
    bool SetField(T& field, const V& value) {
        if (!Facts(&field).Admits(static_cast<T>(value))) {
            return false;
        }
        StoreField(field, static_cast<T>(value));
        return true;
    }
    // Stores without the range check, for setters that bring the value into range.
    template <typename T>
    void StoreField(T& field, const T& value) {
        field = value;
        Announce(&field);
    }
    void Announce(const void* field) { Changed(Key(field)); }
    const char* Key(const void* field) const { return Facts(field).key; }
    PropertyFacts Facts(const void* field) const { return Rows().FactsOf(*this, field); }

    QVariant xtrVar_;
    bool loading_ = false;  // a saved form is being read
};
