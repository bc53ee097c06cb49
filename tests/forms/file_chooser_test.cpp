#include "forms/file_chooser.h"
#include "tests/forms/gui_fixture.h"

#include <QFile>

namespace {

using FileChooserTest = GuiTest;

TEST_F(FileChooserTest, SaveNamesGetTheExtensionOnlyWhenTheyLackIt)
{
    const std::pair<QString, QString> cases[] = {
        {"data", "data.txt"},
        {"data.txt", "data.txt"},
        {"DATA.TXT", "DATA.TXT"},
        {"data.Txt", "data.Txt"},
        {"data.txt.bak", "data.txt.bak.txt"},
        {"datatxt", "datatxt.txt"},
        {"данные", "данные.txt"},
    };
    for (const auto& [chosen, expected] : cases) {
        saveChoice = path(chosen);
        EXPECT_EQ(file_chooser::ChooseFileToSaveAs({}, {"txt"}), path(expected)) << chosen.toStdString();
    }
    EXPECT_TRUE(overwriteQuestions.isEmpty());
}

TEST_F(FileChooserTest, AnExtendedNameOfAnExistingFileIsReplacedOnlyWhenTheUserAgrees)
{
    QFile existing(path("data.txt"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    saveChoice = path("data");
    overwriteAnswer = false;
    EXPECT_EQ(file_chooser::ChooseFileToSaveAs({}, {"txt"}), QString());
    overwriteAnswer = true;
    EXPECT_EQ(file_chooser::ChooseFileToSaveAs({}, {"txt"}), path("data.txt"));
    EXPECT_EQ(overwriteQuestions, (QStringList{path("data.txt"), path("data.txt")}));

    saveChoice.clear();  // cancelled
    EXPECT_EQ(file_chooser::ChooseFileToSaveAs({}, {"txt"}), QString());
}

}  // namespace
