#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The file dialogs and the overwrite question, replaceable so that tests
// never open a real dialog. An empty name means the user cancelled.
namespace file_chooser {

struct Request {
    QWidget* parent = nullptr;
    QString folder;  // where the dialog starts
    QString filter;  // "Description (*.ext)"
};

using Chooser = std::function<QString(const Request& request)>;
using OverwriteQuestion = std::function<bool(QWidget* parent, const QString& path)>;

// Each setter returns the previous function.
Chooser SetOpenChooser(Chooser chooser);
Chooser SetSaveChooser(Chooser chooser);
OverwriteQuestion SetOverwriteQuestion(OverwriteQuestion question);

QString ChooseFileToOpen(const Request& request);
// The save dialog itself asks before replacing the file it returns.
QString ChooseFileToSave(const Request& request);
// Asks whether an existing file may be replaced.
bool MayOverwrite(QWidget* parent, const QString& path);

// The save dialog for a file of one of `extensions` (without the dot): a
// chosen name that ends in none of them, in any letter case, gets the first
// appended, and when a file of that name exists the user is asked. Empty
// when the user cancelled or declined.
QString ChooseFileToSaveAs(const Request& request, const QStringList& extensions);

}  // namespace file_chooser
