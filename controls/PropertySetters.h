#pragma once

#include <QtGlobal>

// The setters behind the controls' typed properties: store the value, then let the
// control announce the change through its Changed(key). A control derives from
// PropertySetters<Itself> and befriends it so that Changed can stay private.
template <typename Control>
class PropertySetters {
  protected:
    void SetColorProperty(uint* field, uint color, const char* key) { Store(field, color, key); }
    void SetBoolProperty(bool* field, bool value, const char* key) { Store(field, value, key); }
    // An enumerated value in [0, hi]; anything else is ignored.
    void SetEnumProperty(int* field, int value, int hi, const char* key) {
        if (value < 0 || value > hi) {
            return;
        }
        Store(field, value, key);
    }

  private:
    template <typename T>
    void Store(T* field, T value, const char* key) {
        *field = value;
        static_cast<Control*>(this)->Changed(key);
    }
};
