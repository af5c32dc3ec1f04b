#pragma once

#include <QString>
#include <QStringList>

// Rules of the batch window's manual target folder.
namespace zorix {

// What is at a target folder's path.
enum class FolderProbe { Folder, Missing, NotFolder };

// The folder text with a trailing separator.
QString WithTrailingSeparator(const QString& folder);
// Only absolute folders are accepted: a relative one would depend on where the
// program happened to start.
bool IsAbsoluteFolder(const QString& folder);
// The root folders of the mounted volumes ("/" among them).
QStringList MountedVolumeRoots();
// True for "/" and for the root folder of a mounted volume.
bool IsRootFolder(const QString& folder, const QStringList& volumeRoots);
// Folder, Missing (nothing of that name), or NotFolder (a file, or the path cannot
// be examined).
FolderProbe ProbeFolder(const QString& folder);
// Creates the folder with any missing parents; true when it exists afterwards.
bool CreateFolder(const QString& folder);
// Deletes the files at the top level of `folder`, leaving folders, hidden entries
// and every file of `keep` (compared as canonical paths) in place; errors are
// ignored. Returns the entries of `keep` that were found in the folder.
QStringList DeleteFolderFiles(const QString& folder, const QStringList& keep);

}  // namespace zorix
