#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace zorix {

// Every message box and file or folder dialog of the program goes through this
// interface, so that tests can read what would be shown and give the answer.
class Prompter {
  public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    // What a save dialog is opened with.
    struct SaveRequest {
        QString title;
        QString initialFolder;
        QString initialName;
        QString defaultExtension;  // without the dot, e.g. "bmp"
        QString filter;            // "Description|*.ext" pairs
        bool promptOverwrite = true;
    };
    // What a dialog for opening several files is opened with.
    struct OpenRequest {
        QString title;
        QString initialFolder;
        QString filter;
    };

    virtual ~Prompter() = default;

    virtual Answer MessageBox(QWidget* parent, const QString& text, const QString& title, Icon icon,
                              Buttons buttons) = 0;
    // The chosen folder, or "" when cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title) = 0;
    // The chosen file, or "" when cancelled.
    virtual QString ChooseSaveFile(QWidget* parent, const SaveRequest& request) = 0;
    // The chosen files, empty when cancelled.
    virtual QStringList ChooseOpenFiles(QWidget* parent, const OpenRequest& request) = 0;
};

}  // namespace zorix
