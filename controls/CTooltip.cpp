#include "controls/CTooltip.h"

#include "controls/TooltipWindow.h"

CTooltip::CTooltip() = default;
CTooltip::~CTooltip() = default;

TooltipWindow* CTooltip::Window() const {
    return window_.get();
}

bool CTooltip::Create() {
    window_.reset();
    if (parent_ == nullptr) {
        return false;
    }
    window_ = std::make_unique<TooltipWindow>(parent_);
    window_->SetContent(text_, options_);
    return true;
}
