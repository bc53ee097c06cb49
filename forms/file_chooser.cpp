#include "forms/file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace file_chooser {
namespace {

QString RunDialog(const Request& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(request.parent, QString(), request.folder, request.filter);
    // Qt's own dialog speaks the program's language; a desktop's native one may not.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave) {
        // A name typed without an extension gets the chosen filter's, and the
        // dialog asks about replacing the name it then returns.
        const auto followFilter = [&dialog](const QString& filter) {
            static const QRegularExpression extension(QStringLiteral("\\*\\.(\\w+)"));
            dialog.setDefaultSuffix(extension.match(filter).captured(1));
        };
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
        followFilter(dialog.selectedNameFilter());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

Chooser& OpenChooser()
{
    static Chooser chooser = [](const Request& request) {
        return RunDialog(request, QFileDialog::AcceptOpen);
    };
    return chooser;
}

Chooser& SaveChooser()
{
    static Chooser chooser = [](const Request& request) {
        return RunDialog(request, QFileDialog::AcceptSave);
    };
    return chooser;
}

OverwriteQuestion& Question()
{
    static OverwriteQuestion question = [](QWidget* parent, const QString& path) {
        return QMessageBox::question(parent, QString(),
                                     QStringLiteral("Файл «%1» уже существует. Заменить его?").arg(path))
               == QMessageBox::Yes;
    };
    return question;
}

}  // namespace

Chooser SetOpenChooser(Chooser chooser)
{
    return std::exchange(OpenChooser(), std::move(chooser));
}

Chooser SetSaveChooser(Chooser chooser)
{
    return std::exchange(SaveChooser(), std::move(chooser));
}

OverwriteQuestion SetOverwriteQuestion(OverwriteQuestion question)
{
    return std::exchange(Question(), std::move(question));
}

QString ChooseFileToOpen(const Request& request)
{
    return OpenChooser()(request);
}

QString ChooseFileToSave(const Request& request)
{
    return SaveChooser()(request);
}

bool MayOverwrite(QWidget* parent, const QString& path)
{
    return Question()(parent, path);
}

QString ChooseFileToSaveAs(const Request& request, const QStringList& extensions)
{
    QString chosen = ChooseFileToSave(request);
    if (chosen.isEmpty())
        return {};
    for (const QString& extension : extensions)
        if (chosen.endsWith("." + extension, Qt::CaseInsensitive))
            return chosen;
    QString path = chosen + "." + extensions.front();
    // The dialog asked about the name it returned, not about the one extended here.
    if (QFileInfo::exists(path) && !MayOverwrite(request.parent, path))
        return {};
    return path;
}

}  // namespace file_chooser
