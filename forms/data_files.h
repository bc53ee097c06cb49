#pragma once

#include <QString>
#include <QStringList>

// The program's own documents (the instruction, the method page) are looked
// for in the working folder, then in the program's data folders: beside the
// executable, then the installed share folder, so that the installed program
// finds them whatever folder it is started from.
namespace data_files {

// Where a document called `name` may be, in the order it is looked for.
QStringList Candidates(const QString& name);
// The first of those that exists, or empty.
QString Find(const QString& name);

// Replaces the data folders searched after the working folder, for tests.
// Returns the previous folders.
QStringList SetFolders(QStringList folders);

}  // namespace data_files
