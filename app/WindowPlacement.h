#pragma once

#include <QString>
#include <optional>

namespace zorix {

// What a stored "WindowPos" text ("WxH@LxT" in twips) asks for. Each value is
// present only when its text is numeric and its pair splits into two pieces.
struct WindowPlacement {
    bool centre = false;  // the text was empty
    std::optional<double> width;
    std::optional<double> height;
    std::optional<double> left;
    std::optional<double> top;
};

WindowPlacement ParseWindowPos(const QString& text);
QString FormatWindowPos(double width, double height, double left, double top);

// "WindowState": "2" is maximised, anything else normal.
bool IsMaximisedState(const QString& text);

}  // namespace zorix
