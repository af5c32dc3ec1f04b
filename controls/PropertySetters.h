#pragma once

#include "controls/PropertyTable.h"

// The setters behind the controls' typed properties, driven by the control's property
// table: store the value when the row's range admits it, then let the control announce
// the change by the row's key through its Changed(key). A control derives from
// PropertySetters<Itself>, offers its table as Properties() and befriends
// PropertySetters so that Changed can stay private.
template <typename Control>
class PropertySetters {
  protected:
    // Returns whether the value was stored; a value outside the row's range is ignored.
    template <typename T, typename V>
    bool SetProperty(T Control::*member, const V& value) {
        if (!Control::Properties().Find(member).Admits(static_cast<T>(value))) {
            return false;
        }
        StoreProperty(member, static_cast<T>(value));
        return true;
    }
    // Stores without the range check, for setters that bring the value into range.
    template <typename T>
    void StoreProperty(T Control::*member, const T& value) {
        Self().*member = value;
        Announce(member);
    }
    template <typename T>
    void Announce(T Control::*member) {
        Self().Changed(KeyOf(member));
    }
    template <typename T>
    static const char* KeyOf(T Control::*member) {
        return Control::Properties().Find(member).key;
    }

  private:
    Control& Self() { return *static_cast<Control*>(this); }
};
