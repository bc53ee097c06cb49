#include "forms/settings.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace settings {
namespace {

const QString kFolderKey = QStringLiteral("files/dialogFolder");
const QString kRecentKey = QStringLiteral("files/recent");

void SetRecentObservationFiles(const QStringList& files)
{
    QSettings().setValue(kRecentKey, files.mid(0, kRecentFileCount));
}

}  // namespace

QString DialogFolder()
{
    QString folder = QSettings().value(kFolderKey).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void FileUsed(const QString& path)
{
    QSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
}

void ObservationFileUsed(const QString& path)
{
    FileUsed(path);
    const QString file = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentObservationFiles();
    files.removeAll(file);
    files.prepend(file);
    SetRecentObservationFiles(files);
}

QStringList RecentObservationFiles()
{
    return QSettings().value(kRecentKey).toStringList();
}

void ForgetObservationFile(const QString& path)
{
    QStringList files = RecentObservationFiles();
    files.removeAll(path);
    SetRecentObservationFiles(files);
}

}  // namespace settings
