#include "forms/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

namespace data_files {
namespace {

QStringList& Folders()
{
    static QStringList folders = [] {
        const QString program = QCoreApplication::applicationDirPath();
        return QStringList{program, program + QStringLiteral("/../share/cobb-douglas")};
    }();
    return folders;
}

}  // namespace

QStringList Candidates(const QString& name)
{
    QStringList paths{QDir::current().filePath(name)};
    for (const QString& folder : Folders())
        paths.append(QDir(folder).filePath(name));
    return paths;
}

QString Find(const QString& name)
{
    for (const QString& path : Candidates(name))
        if (QFileInfo(path).isFile())
            return QFileInfo(path).absoluteFilePath();
    return {};
}

QStringList SetFolders(QStringList folders)
{
    return std::exchange(Folders(), std::move(folders));
}

}  // namespace data_files
