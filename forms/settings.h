#pragma once

#include <QString>
#include <QStringList>

// What the program remembers between runs, in the user's settings: the folder
// of the file last opened or saved, where the file dialogs start, and the
// observation files used last, newest first, for "Файл → Недавние файлы".
namespace settings {

constexpr int kRecentFileCount = 5;

// The folder of the file last opened or saved, while it exists; else the documents folder.
QString DialogFolder();
// A file was opened or saved: the dialogs start in its folder from now on.
void FileUsed(const QString& path);
// An observation file was opened or saved: as FileUsed, and first in the recent files.
void ObservationFileUsed(const QString& path);

QStringList RecentObservationFiles();
void ForgetObservationFile(const QString& path);

}  // namespace settings
