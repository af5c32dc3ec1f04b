#pragma once

#include <QString>
#include <QStringList>

// The optional file or folder named on the command line, or dropped on the window.
namespace zorix {

struct StartLocation {
    QString folder;  // absolute; empty when the path names nothing that exists
    QString file;    // absolute; empty for a folder
    bool IsValid() const { return !folder.isEmpty(); }
};

// The folder to open and the file to show for a path or a "file:" URL; a
// relative path is taken from the current folder.
StartLocation LocationOf(const QString& pathOrUrl);

// The first argument after the program's name that is not an option ("--" ends
// the options); empty when there is none.
QString StartArgument(const QStringList& arguments);

}  // namespace zorix
