#include "controls/VkControl.h"

#include "controls/colorFuncs.h"

VkControl::VkControl(QWidget* parent) : QWidget(parent) {}

QColor VkControl::CaptionColor(uint color) const {
    return colorFuncs::ToQColor(isEnabled() ? color : colorFuncs::kSysGrayText);
}

void VkControl::Changed(const char* key) {
    if (loading_) {
        return;
    }
    emit PropertyChanged(QString::fromLatin1(key));
    Refresh();
}

// A control that does not save its enabled state still announces the change, by the
// property's name.
void VkControl::SetEnabled(bool enabled) {
    setEnabled(enabled);
    const char* key = Rows().KeyOfFlag(kEnabledFlag);
    Changed(key != nullptr ? key : "Enabled");
}

void VkControl::SetxtrVar(const QVariant& value) {
    StoreField(xtrVar_, value);
}

void VkControl::ReadProperties(const PropertyBag& bag) {
    loading_ = true;
    Rows().ReadInto(*this, bag);
    AfterReading();
    loading_ = false;
    Refresh();
}

void VkControl::WriteProperties(PropertyBag& bag) const {
    Rows().WriteFrom(*this, bag);
}
