#pragma once

#include <QString>

#include "app/Prompter.h"

namespace zorix {

// One of the five save commands, by the index its menu item and button share
// (the engine's save type).
struct SaveFormat {
    const char* menuCaption;
    const char* filter;  // "Description|*.ext"
};

constexpr int kFirstSaveIndex = 1;
constexpr int kLastSaveIndex = 5;

// The save command of `index`, or nullptr outside 1..5.
const SaveFormat* SaveFormatOf(int index);

// Where the save dialog starts: the shown file's folder and name without its
// extension, or the current folder and no name when nothing is shown.
struct SaveProposal {
    QString folder;
    QString name;
};
SaveProposal ProposeSaveLocation(const QString& shownPath, const QString& currentFolder);

// The whole dialog request of the save command `index` (which must be 1..5).
Prompter::SaveRequest SaveDialogRequest(int index, const QString& shownPath,
                                        const QString& currentFolder);

// "Error saving image.", with the engine's reason on a second line when it has one.
QString SaveErrorText(const QString& reason);

}  // namespace zorix
