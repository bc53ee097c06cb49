#include "model/observation_file.h"

#include "model/number_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace model {
namespace {

namespace fs = std::filesystem;

using Lines = std::vector<ObservationLine>;

// A fresh folder under the system's temporary folder, removed afterwards.
class ObservationFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path()
                   / ("observation_file_test-" + std::to_string(::getpid()) + "-"
                      + std::to_string(std::random_device()()));
        fs::create_directories(m_folder);
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_folder, ignored);
    }

    std::string pathOf(const std::string& name) const { return (m_folder / name).string(); }

    void writeBytes(const std::string& path, const std::string& bytes) const
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string readBytes(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path m_folder;
};

// A first line of what(), the platform's message.
std::string FirstLine(const std::exception& error)
{
    const std::string text = error.what();
    return text.substr(0, text.find('\n'));
}

// Columns 0 .. 3 of every visible row, header included.
std::vector<std::string> Cells(const Table& table)
{
    std::vector<std::string> cells;
    for (int row = 0; row < table.rowCount(); ++row)
        for (int column = 0; column < table.columnCount(); ++column)
            cells.push_back(table.cell(column, row));
    return cells;
}

ObservationLine RowOf(const Table& table, int row)
{
    return {table.cell(ObservationColumn::kY, row), table.cell(ObservationColumn::kK, row),
            table.cell(ObservationColumn::kL, row)};
}

Lines NumberedLines(int count)
{
    Lines lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back({std::to_string(i), "2", "3"});
    return lines;
}

// --- Splitting into lines and fields ---------------------------------------

TEST(ParseObservationText, SplitsLinesAndFieldsAsWritten)
{
    struct Case {
        const char* name;
        std::string text;
        Lines lines;
    };
    const Case cases[] = {
        {"missing L", "100:20", {{"100", "20", ""}}},
        {"fourth field ignored", "1:2:3:4", {{"1", "2", "3"}}},
        {"blanks kept", " 12 :3:4", {{" 12 ", "3", "4"}}},
        {"no colon", "7", {{"7", "", ""}}},
        {"empty row", "::", {{"", "", ""}}},
        {"CR LF", "1,5:2:3\r\n4:5:6\r\n", {{"1,5", "2", "3"}, {"4", "5", "6"}}},
        {"LF", "1,5:2:3\n4:5:6\n", {{"1,5", "2", "3"}, {"4", "5", "6"}}},
        {"last line without line end", "1:2:3\n4:5:6", {{"1", "2", "3"}, {"4", "5", "6"}}},
        {"stray CR dropped", "1\r2:3\r\r:4\r\n", {{"12", "3", "4"}}},
        {"empty line inside", "1:2:3\n\n4:5:6", {{"1", "2", "3"}, {"", "", ""}, {"4", "5", "6"}}},
        {"line end only", "\r\n", {{"", "", ""}}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseObservationText(c.text), c.lines);
    }
}

TEST(ParseObservationText, ReportsTheFirstLineNotNumbersAndTheFirstWithExtraFields)
{
    struct Case {
        const char* name;
        std::string text;
        char separator;
        std::size_t notNumbers;
        std::string message;
        std::size_t extraFields;
    };
    const Case cases[] = {
        {"numbers only", "1,5:2:3\r\n4:5:6\r\n", ',', 0, "", 0},
        {"empty fields and blanks are no fault", "::\n100:20\n 12 :3:4\n\n", ',', 0, "", 0},
        {"nothing after a third ':'", "1:2:3:\n", ',', 0, "", 0},
        {"full stop under a comma", "1:2:3\n1.5:2:3\nx:y:z\n", ',', 2,
         "'1.5' is not a valid floating point value", 0},
        {"full stop under a full stop", "1:2:3\n1.5:2:3\nx:y:z\n", '.', 3,
         "'x' is not a valid floating point value", 0},
        {"a word in L", "1:2:3\n4:5:six", ',', 2, "'six' is not a valid floating point value", 0},
        {"prose without colons", "Cobb and Douglas, 1928\n", ',', 1,
         "'Cobb and Douglas, 1928' is not a valid floating point value", 0},
        {"a NUL byte", std::string("1\0" "5:2:3", 7), ',', 1, "", 0},
        {"fourth and fifth fields", "1:2:3\n4:5:6:7\n8:9:10:11:12", ',', 0, "", 2},
        {"both, each its first line", "1:2:3:4\na:1:1\nb:1:1:1", ',', 2,
         "'a' is not a valid floating point value", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ObservationFileReport report(c.separator);
        const Lines lines = ParseObservationText(c.text, &report);
        EXPECT_EQ(lines, ParseObservationText(c.text)) << "the report changes no field";
        EXPECT_EQ(report.firstLineNotNumbers, c.notNumbers);
        if (!c.message.empty()) {
            EXPECT_EQ(report.notNumberMessage, c.message);
        }
        EXPECT_EQ(report.firstLineWithExtraFields, c.extraFields);
    }
}

TEST(LoadNotice, NamesEachFirstLineInOneMessage)
{
    ObservationFileReport report(',');
    EXPECT_EQ(LoadNotice(report), "");

    ParseObservationText("1:2:3\n4:5:6:7\n8:x:9\n", &report);
    EXPECT_EQ(LoadNotice(report),
              "Файл загружен, но в нём не только наблюдения Y:K:L.\n"
              "Строка 3: 'x' is not a valid floating point value. Ячейки загружены так, как они "
              "записаны в файле.\n"
              "Строка 2: полей больше трёх; то, что после третьего «:», не загружено.");
}

// --- Decoding -----------------------------------------------------------------

TEST(DecodeFileText, ReadsUtf8AsItIsAndAnythingElseAsWindows1251)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"ASCII", "1520,5:310:42", "1520,5:310:42"},
        {"UTF-8", "Год №1 ёЁ €", "Год №1 ёЁ €"},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" "1:2:3", "1:2:3"},
        {"Windows-1251", "\xC3\xEE\xE4 \xB9\x31 \xB8\xA8 \x88", "Год №1 ёЁ €"},
        {"Windows-1251 that starts like a byte-order mark", "\xEF\xBB\xBF\xC0", "п»їА"},
        {"overlong UTF-8 form", "\xC0\x80", "АЂ"},
        {"UTF-8 surrogate", "\xED\xA0\x80", "н\u00A0Ђ"},
        {"UTF-8 cut short", "1:\xD0", "1:Р"},
        {"unassigned 0x98", "\x98", "\xC2\x98"},
        {"NUL kept", std::string("1\0:2", 4), std::string("1\0:2", 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeFileText(c.bytes), c.text);
    }
}

TEST_F(ObservationFileTest, BinaryContentLoadsAndFailsOnlyWhenParsed)
{
    std::string bytes;
    for (int round = 0; round < 4; ++round)
        for (int byte = 0; byte < 256; ++byte)
            bytes += static_cast<char>(byte);
    const std::string path = pathOf("binary.txt");
    writeBytes(path, std::string("1\0" "5:2:3\n", 7) + bytes);

    Workbook book;
    LoadObservations(book, ReadObservationFile(path));

    EXPECT_EQ(book.observations.cell(ObservationColumn::kY, 1), std::string("1\0" "5", 3));
    EXPECT_THROW(ParseNumber(book.observations.cell(ObservationColumn::kY, 1), ','), ConversionError);
}

TEST_F(ObservationFileTest, ReadingReportsWhatTheLoadedLinesHold)
{
    const std::string path = pathOf("notes.txt");
    writeBytes(path, "1:2:3\r\n4:5:6:note\r\n1,5:n/a:7\r\n");

    ObservationFileReport report(',');
    EXPECT_EQ(ReadObservationFile(path, &report), ReadObservationFile(path));
    EXPECT_EQ(report.firstLineNotNumbers, 3u);
    EXPECT_EQ(report.firstLineWithExtraFields, 2u);
}

// --- Loading into the workbook ------------------------------------------------

TEST(LoadObservations, NumbersTheLinesFromOneOverAClearedTable)
{
    for (int count : {0, 1, 3}) {
        SCOPED_TRACE(count);
        Workbook book;
        LoadObservations(book, NumberedLines(count));

        const int rows = count == 0 ? 1 : count;
        EXPECT_EQ(book.countText, std::to_string(rows));
        ASSERT_EQ(book.observations.rowCount(), rows + 1);
        ASSERT_EQ(book.calculation.rowCount(), rows + 1);
        for (int row = 1; row <= rows; ++row) {
            EXPECT_EQ(book.observations.cell(ObservationColumn::kYear, row), std::to_string(row));
            EXPECT_EQ(book.calculation.cell(CalculationColumn::kYear, row), std::to_string(row));
        }
        for (int row = 1; row <= count; ++row)
            EXPECT_EQ(RowOf(book.observations, row), NumberedLines(count)[row - 1]);
    }
}

TEST(LoadObservations, ReplacesSeveralRowsAndTheResults)
{
    Workbook book;
    SetCountText(book, "5");
    for (int row = 1; row <= 5; ++row)
        book.observations.setCell(ObservationColumn::kY, row, "old");
    book.aCaption = "a=0,3";

    LoadObservations(book, NumberedLines(2));

    EXPECT_EQ(book.countText, "2");
    EXPECT_EQ(book.observations.rowCount(), 3);
    EXPECT_EQ(RowOf(book.observations, 1), (ObservationLine{"1", "2", "3"}));
    EXPECT_EQ(RowOf(book.observations, 2), (ObservationLine{"2", "2", "3"}));
    EXPECT_EQ(book.aCaption, "a=");
}

TEST(LoadObservations, OverASingleRowOverwritesItAndKeepsTheResults)
{
    Workbook book;
    book.observations.setCell(ObservationColumn::kYear, 1, "1990");
    book.observations.setCell(ObservationColumn::kY, 1, "9");
    book.aCaption = "a=0,3";
    book.alfa = 0.3;

    LoadObservations(book, NumberedLines(2));

    // ClearCommand stops at once on one row, so the results stay.
    EXPECT_EQ(book.aCaption, "a=0,3");
    EXPECT_EQ(book.alfa, 0.3);
    EXPECT_EQ(book.countText, "2");
    EXPECT_EQ(book.observations.cell(ObservationColumn::kYear, 1), "1");
    EXPECT_EQ(RowOf(book.observations, 1), (ObservationLine{"1", "2", "3"}));
    EXPECT_EQ(RowOf(book.observations, 2), (ObservationLine{"2", "2", "3"}));
}

TEST(LoadObservations, RefusesWithoutChangingAnything)
{
    struct Case {
        const char* name;
        int rows;
        const char* countText;  // as the count field shows it, accepted or not
        int lines;
        std::string message;
    };
    const Case cases[] = {
        {"more lines than observations allowed", 5, "5", kMaxObservationCount + 1,
         "Файл не загружен: строк в нём больше, чем может быть наблюдений ("
             + std::to_string(kMaxObservationCount) + ")."},
        // With one row ClearCommand keeps a count text the user emptied.
        {"count text not a number", 1, "", 2, "'' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workbook book;
        SetCountText(book, std::to_string(c.rows));
        book.countText = c.countText;
        for (int row = 1; row <= c.rows; ++row)
            book.observations.setCell(ObservationColumn::kY, row, "kept");
        book.aCaption = "a=0,3";
        const std::vector<std::string> before = Cells(book.observations);

        try {
            LoadObservations(book, NumberedLines(c.lines));
            ADD_FAILURE() << "loaded";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), c.message);
        }

        EXPECT_EQ(Cells(book.observations), before);
        EXPECT_EQ(book.countText, c.countText);
        EXPECT_EQ(book.aCaption, "a=0,3");
    }
}

TEST(LoadObservations, TakesTheMostLinesAllowed)
{
    Workbook book;
    LoadObservations(book, NumberedLines(kMaxObservationCount));

    EXPECT_EQ(book.countText, std::to_string(kMaxObservationCount));
    EXPECT_EQ(book.observations.rowCount(), kMaxObservationCount + 1);
    EXPECT_EQ(book.observations.cell(ObservationColumn::kYear, kMaxObservationCount),
              std::to_string(kMaxObservationCount));
    EXPECT_EQ(book.observations.cell(ObservationColumn::kY, kMaxObservationCount),
              std::to_string(kMaxObservationCount));
}

// --- Saving -------------------------------------------------------------------

TEST_F(ObservationFileTest, SaveAndLoadKeepEveryTextButTheYears)
{
    Workbook saved;
    SetCountText(saved, "3");
    saved.observations.setCell(ObservationColumn::kYear, 1, "1990");
    saved.observations.setCell(ObservationColumn::kYear, 3, "1992");
    const Lines rows = {{"1520,5", "310", "42"}, {"", "", ""}, {"0,000001", " 7", "Труд"}};
    for (int row = 1; row <= 3; ++row) {
        saved.observations.setCell(ObservationColumn::kY, row, rows[row - 1].output);
        saved.observations.setCell(ObservationColumn::kK, row, rows[row - 1].capital);
        saved.observations.setCell(ObservationColumn::kL, row, rows[row - 1].labour);
    }
    const std::string path = pathOf("data.txt");

    WriteObservationFile(path, saved.observations);
    EXPECT_EQ(readBytes(path), "1520,5:310:42\r\n::\r\n0,000001: 7:Труд\r\n");

    Workbook loaded;
    LoadObservations(loaded, ReadObservationFile(path));
    EXPECT_EQ(loaded.countText, "3");
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(RowOf(loaded.observations, row), rows[row - 1]);
        EXPECT_EQ(loaded.observations.cell(ObservationColumn::kYear, row), std::to_string(row));
    }
}

TEST_F(ObservationFileTest, SaveReplacesAnExistingFileAndKeepsItsPermissions)
{
    const std::string path = pathOf("data.txt");
    writeBytes(path, "old:old:old\r\nold:old:old\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    WriteObservationFile(path, Table(ObservationColumn::kCount));

    EXPECT_EQ(readBytes(path), "::\r\n");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(), std::vector<std::string>{"data.txt"});
}

TEST_F(ObservationFileTest, FailedSaveLeavesTheFolderAsItWas)
{
    struct Case {
        const char* name;
        std::string path;
        std::string message;
    };
    const std::string directory = pathOf("data.txt");
    fs::create_directory(directory);
    const std::string kept = pathOf("kept.txt");
    writeBytes(kept, "1:2:3\r\n");
    const Case cases[] = {
        {"folder missing", pathOf("missing/data.txt"), "I/O error " + std::to_string(ENOENT)},
        {"target is a folder", directory, "I/O error " + std::to_string(EISDIR)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            WriteObservationFile(c.path, Table(ObservationColumn::kCount));
            ADD_FAILURE() << "no FileError";
        } catch (const FileError& error) {
            EXPECT_EQ(FirstLine(error), c.message);
            EXPECT_NE(std::string(error.what()).find("«" + c.path + "»"), std::string::npos);
        }
        EXPECT_EQ(entries().size(), 2u);  // no temporary file left behind
        EXPECT_TRUE(fs::is_directory(directory));
        EXPECT_EQ(readBytes(kept), "1:2:3\r\n");
    }
}

TEST_F(ObservationFileTest, SaveIntoAReadOnlyFolderIsDeniedAndKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const std::string path = pathOf("data.txt");
    writeBytes(path, "1:2:3\r\n");
    // The old file stays writable: only the temporary file beside it is refused.
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec);

    try {
        WriteObservationFile(path, Table(ObservationColumn::kCount));
        ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(FirstLine(error), "File access denied");
    }
    EXPECT_EQ(readBytes(path), "1:2:3\r\n");
}

TEST(WriteObservationFile, IsDeniedWhereEvenRootMayNotCreateFiles)
{
    if (!fs::is_directory("/sys/kernel"))
        GTEST_SKIP() << "no sysfs";
    try {
        WriteObservationFile("/sys/kernel/data.txt", Table(ObservationColumn::kCount));
        ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(FirstLine(error), "File access denied");
    }
}

// --- Errors -------------------------------------------------------------------

TEST_F(ObservationFileTest, ReadingFailuresNameTheFile)
{
    struct Case {
        const char* name;
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {"missing file", pathOf("missing.txt"), "File not found"},
        {"a folder", m_folder.string(), "I/O error " + std::to_string(EISDIR)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadObservationFile(c.path);
            ADD_FAILURE() << "no FileError";
        } catch (const FileError& error) {
            EXPECT_EQ(error.what(), c.message + "\nНе удалось прочитать файл «" + c.path + "».");
        }
    }
}

TEST(FileError, ShowsThePlatformMessageForTheError)
{
    struct Case {
        int error;
        FileAction action;
        std::string text;
    };
    const Case cases[] = {
        {EACCES, FileAction::Read, "File access denied\nНе удалось прочитать файл «x.txt»."},
        {EPERM, FileAction::Write, "File access denied\nНе удалось записать файл «x.txt»."},
        {EROFS, FileAction::Write, "File access denied\nНе удалось записать файл «x.txt»."},
        {ENOSPC, FileAction::Write, "Disk full\nНе удалось записать файл «x.txt»."},
        {EDQUOT, FileAction::Write, "Disk full\nНе удалось записать файл «x.txt»."},
        {ENOENT, FileAction::Read, "File not found\nНе удалось прочитать файл «x.txt»."},
        {ENOENT, FileAction::Write, "I/O error 2\nНе удалось записать файл «x.txt»."},
        {EIO, FileAction::Read, "I/O error 5\nНе удалось прочитать файл «x.txt»."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        const FileError error(c.error, c.action, "x.txt");
        EXPECT_EQ(error.what(), c.text);
        EXPECT_EQ(error.error(), c.error);
    }
}

}  // namespace
}  // namespace model
