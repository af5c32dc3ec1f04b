#pragma once

#include <QString>
#include <cstdint>

class QWidget;

// Small helpers shared by the program's windows.
namespace zorix {

class Prompter;

// The file-name part of a path: blanks trimmed, "/" and "\" both separate.
QString FileNameOf(const QString& path);
// A count of seconds as "HH:MM:SS"; negative counts give "00:00:00".
QString FormatDuration(int32_t seconds);
// The system folder picker titled "Select folder"; "" when cancelled.
QString BrowseForFolder(Prompter& prompter, QWidget* parent);
// A progress value as the progress windows show it: limited to 0..100 (not a
// number gives 0) and rounded to a whole number, halves to even.
float ProgressPercent(float value);
// Shows the window above the other windows without moving or activating it.
void MakeTopmost(QWidget* window);
// Takes the activation back after a modal window closed: without a window manager
// nobody hands the keyboard back, and the window's access keys would stop working.
void TakeFocusBack(QWidget* window);

}  // namespace zorix
