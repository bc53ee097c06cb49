#include "model/observation_file.h"

#include "model/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
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
        {"CR alone ends lines",
         "1520,5:310:42\r1600:320:43\r1700:330:44\r",
         {{"1520,5", "310", "42"}, {"1600", "320", "43"}, {"1700", "330", "44"}}},
        {"CR alone, last line without line end",
         "1:2:3\r\r4:5:6",
         {{"1", "2", "3"}, {"", "", ""}, {"4", "5", "6"}}},
        {"CR alone only", "\r", {{"", "", ""}}},
        {"one LF makes CRs stray", "1\r2:3\r4\n5:6", {{"12", "34", ""}, {"5", "6", ""}}},
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
        {"a NUL byte, shown",
         std::string("1\0"
                     "5:2:3",
                     7),
         ',', 1, "'1\\05' is not a valid floating point value", 0},
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

TEST(DecodeFileText, ReadsUtf16ByItsMarkUtf8AsItIsAndAnythingElseAsWindows1251)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"ASCII", "1520,5:310:42", "1520,5:310:42"},
        {"UTF-8", "Год №1 ёЁ €", "Год №1 ёЁ €"},
        {"UTF-8 with byte-order mark",
         "\xEF\xBB\xBF"
         "1:2:3",
         "1:2:3"},
        {"Windows-1251", "\xC3\xEE\xE4 \xB9\x31 \xB8\xA8 \x88", "Год №1 ёЁ €"},
        {"Windows-1251 that starts like a byte-order mark", "\xEF\xBB\xBF\xC0", "п»їА"},
        {"overlong UTF-8 form", "\xC0\x80", "АЂ"},
        {"UTF-8 surrogate", "\xED\xA0\x80", "н\u00A0Ђ"},
        {"UTF-8 cut short", "1:\xD0", "1:Р"},
        {"unassigned 0x98", "\x98", "\xC2\x98"},
        {"NUL kept", std::string("1\0:2", 4), std::string("1\0:2", 4)},
        {"UTF-16 LE",
         std::string("\xFF\xFE"
                     "1\0:\0\x13\x04\r\0\n\0",
                     12),
         "1:Г\r\n"},
        {"UTF-16 BE",
         std::string("\xFE\xFF\0"
                     "1\0:\x04\x13\0\r\0\n",
                     12),
         "1:Г\r\n"},
        {"UTF-16 surrogate pair", std::string("\xFF\xFE\x3D\xD8\0\xDE", 6), "\U0001F600"},
        {"UTF-16 lone surrogate and odd byte",
         std::string("\xFF\xFE\0\xDC"
                     "1",
                     5),
         "\uFFFD\uFFFD"},
        {"UTF-16 mark only", "\xFE\xFF", ""},
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
    writeBytes(path, std::string("1\0"
                                 "5:2:3\n",
                                 7)
                         + bytes);

    Workbook book;
    LoadObservations(book, ReadObservationFile(path));

    EXPECT_EQ(book.observations.cell(ObservationColumn::kY, 1), std::string("1\0"
                                                                            "5",
                                                                            3));
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

TEST_F(ObservationFileTest, SaveRefusesWhatItMustNotReplaceAndChangesNothing)
{
    struct Case {
        const char* name;
        std::string path;
        std::string message;
    };
    const std::string directory = pathOf("folder.txt");
    fs::create_directory(directory);
    const std::string fifo = pathOf("fifo.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string socket = pathOf("socket.txt");
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socket.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(listening);
    const std::string linked = pathOf("linked.txt");
    writeBytes(linked, "1:2:3\r\n");
    fs::create_hard_link(linked, pathOf("other name.txt"));
    const std::string readOnly = pathOf("read-only.txt");
    writeBytes(readOnly, "1:2:3\r\n");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_symlink("fifo.txt", pathOf("link to fifo.txt"));
    fs::create_symlink("loop b.txt", pathOf("loop a.txt"));
    fs::create_symlink("loop a.txt", pathOf("loop b.txt"));

    const auto failure = [](const std::string& path, const std::string& platform, const std::string& words) {
        return platform + "\nНе удалось записать файл «" + path + "»" + words + ".";
    };
    const Case cases[] = {
        {"folder missing", pathOf("missing/data.txt"),
         failure(pathOf("missing/data.txt"), "I/O error 2", ": нет папки, в которой он должен быть")},
        {"a folder", directory, failure(directory, "I/O error 21", ": это папка, а не файл")},
        {"a FIFO", fifo,
         failure(fifo, "File access denied", ": это именованный канал (FIFO), а не обычный файл")},
        {"a link to a FIFO", pathOf("link to fifo.txt"),
         failure(pathOf("link to fifo.txt"), "File access denied",
                 ": это именованный канал (FIFO), а не обычный файл")},
        {"a device", "/dev/null",
         failure("/dev/null", "File access denied", ": это устройство, а не обычный файл")},
        {"a socket", socket, failure(socket, "File access denied", ": это сокет, а не обычный файл")},
        {"several hard links", linked,
         failure(linked, "File access denied",
                 ": у файла есть другие имена (жёсткие ссылки: 2), замена отделила бы его от них; "
                 "сохраните под другим именем")},
        // Refused by its mode as root too.
        {"read-only", readOnly, failure(readOnly, "File access denied", ": файл только для чтения")},
        {"links in a loop", pathOf("loop a.txt"),
         failure(pathOf("loop a.txt"), "I/O error 40", ": символические ссылки в пути ведут по кругу")},
    };
    const auto state = [this] {
        std::vector<std::string> state;
        for (const std::string& name : entries()) {
            struct stat status;
            ::lstat(pathOf(name).c_str(), &status);
            state.push_back(name + " " + std::to_string(status.st_mode) + " " + std::to_string(status.st_ino)
                            + " " + std::to_string(status.st_nlink) + " " + std::to_string(status.st_size));
        }
        std::sort(state.begin(), state.end());
        return state;
    };
    const std::vector<std::string> before = state();
    struct stat device;
    ASSERT_EQ(::stat("/dev/null", &device), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            WriteObservationFile(c.path, Table(ObservationColumn::kCount));
            ADD_FAILURE() << "no FileError";
        } catch (const FileError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
        EXPECT_EQ(state(), before);  // no temporary file left behind either
        EXPECT_EQ(readBytes(linked), "1:2:3\r\n");
        EXPECT_EQ(readBytes(readOnly), "1:2:3\r\n");
        struct stat after;
        ASSERT_EQ(::stat("/dev/null", &after), 0);
        EXPECT_TRUE(S_ISCHR(after.st_mode));
        EXPECT_EQ(after.st_rdev, device.st_rdev);
    }
}

TEST_F(ObservationFileTest, SaveThroughSymbolicLinksWritesTheFileTheyLeadTo)
{
    struct Case {
        const char* name;
        std::string saved;    // the path saved to
        std::string written;  // the file that gets the data
    };
    fs::create_directory(m_folder / "sub");
    writeBytes(pathOf("sub/real.txt"), "old:old:old\r\n");
    fs::create_symlink("sub/real.txt", pathOf("link.txt"));
    fs::create_symlink(pathOf("link.txt"), pathOf("link to link.txt"));
    fs::create_symlink("sub/new.txt", pathOf("dangling.txt"));
    const Case cases[] = {
        {"a relative link", pathOf("link.txt"), pathOf("sub/real.txt")},
        {"an absolute link to a link", pathOf("link to link.txt"), pathOf("sub/real.txt")},
        // A link leading nowhere: the missing file is created, the link kept.
        {"a dangling link", pathOf("dangling.txt"), pathOf("sub/new.txt")},
    };
    Table observations(ObservationColumn::kCount);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        observations.setCell(ObservationColumn::kY, 1, c.name);
        WriteObservationFile(c.saved, observations);
        EXPECT_TRUE(fs::is_symlink(c.saved));
        EXPECT_EQ(readBytes(c.written), c.name + std::string("::\r\n"));
        EXPECT_EQ(readBytes(c.saved), readBytes(c.written));
    }
    EXPECT_EQ(entries().size(), 4u);  // the three links and the folder
    EXPECT_EQ(fs::directory_entry(m_folder / "sub/real.txt").is_symlink(), false);
    std::vector<std::string> inSub;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder / "sub"))
        inSub.push_back(entry.path().filename().string());
    std::sort(inSub.begin(), inSub.end());
    EXPECT_EQ(inSub, (std::vector<std::string>{"new.txt", "real.txt"}));
}

TEST_F(ObservationFileTest, SaveKeepsTheOwnerGroupAndModeOfAUsersFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may save a file that another user owns";
    const std::string path = pathOf("data.txt");
    writeBytes(path, "1:2:3\r\n");
    constexpr uid_t kNobody = 65534;
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    WriteObservationFile(path, Table(ObservationColumn::kCount));

    struct stat status;
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kNobody);
    EXPECT_EQ(status.st_gid, kNobody);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(readBytes(path), "::\r\n");
}

TEST_F(ObservationFileTest, SaveRefusesAFileOnlyItsGroupMayWrite)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write the file: run as an unprivileged user";
    const std::string path = pathOf("data.txt");
    writeBytes(path, "1:2:3\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::group_write);

    try {
        WriteObservationFile(path, Table(ObservationColumn::kCount));
        ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(error.what(),
                  "File access denied\nНе удалось записать файл «" + path + "»: файл только для чтения.");
    }
    EXPECT_EQ(readBytes(path), "1:2:3\r\n");
}

// A process id that no running process has: a child's that has ended.
pid_t EndedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_F(ObservationFileTest, SaveRemovesTemporaryFilesThatKilledSavesLeft)
{
    const std::string left = ".~cobb-douglas-" + std::to_string(EndedProcess()) + "-0000abcd.tmp";
    const std::string running = ".~cobb-douglas-" + std::to_string(::getpid()) + "-0000abcd.tmp";
    const std::string unrelated = ".~cobb-douglas-notes.tmp";
    for (const std::string& name : {left, running, unrelated})
        writeBytes(pathOf(name), "1:2:3\r\n");

    WriteObservationFile(pathOf("data.txt"), Table(ObservationColumn::kCount));

    std::vector<std::string> names = entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{running, unrelated, "data.txt"}));
}

TEST_F(ObservationFileTest, KilledSavesLeaveNoTemporaryFileAndNoTornFile)
{
    const std::string path = pathOf("data.txt");
    Table observations(ObservationColumn::kCount, 2000);
    for (int row = 1; row < observations.rowCount(); ++row)
        observations.setCell(ObservationColumn::kY, row, "1520,5");
    const std::string whole = FormatObservationFile(observations);
    WriteObservationFile(path, observations);

    for (int round = 0; round < 20; ++round) {
        const pid_t saver = ::fork();
        if (saver == 0) {
            try {
                for (;;)
                    WriteObservationFile(path, observations);
            } catch (...) {
                ::_exit(1);
            }
        }
        ::usleep(static_cast<useconds_t>(1000 + 700 * round));
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
        EXPECT_EQ(readBytes(path), whole);
    }
    WriteObservationFile(path, observations);
    EXPECT_EQ(entries(), std::vector<std::string>{"data.txt"});
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

TEST_F(ObservationFileTest, ReadingFailuresNameTheFileInPlainWords)
{
    struct Case {
        const char* name;
        std::string path;
        std::string message;
    };
    const std::string fifo = pathOf("fifo.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string longName = pathOf(std::string(300, 'x') + ".txt");
    const std::string longNameQuoted = longName.substr(0, 50) + "…" + longName.substr(longName.size() - 50);
    const auto failure = [](const std::string& quoted, const std::string& platform,
                            const std::string& words) {
        return platform + "\nНе удалось прочитать файл «" + quoted + "»" + words + ".";
    };
    const Case cases[] = {
        {"missing file", pathOf("missing.txt"), failure(pathOf("missing.txt"), "File not found", "")},
        {"control characters shown", pathOf("a\nb\x1B.txt"),
         failure(pathOf("a\\nb\\x1B.txt"), "File not found", "")},
        {"a folder", m_folder.string(), failure(m_folder.string(), "I/O error 21", ": это папка, а не файл")},
        // Refused at once: opening it to read would wait for a writer.
        {"a FIFO nobody writes to", fifo,
         failure(fifo, "File access denied", ": это именованный канал (FIFO), а не обычный файл")},
        {"a device", "/dev/zero",
         failure("/dev/zero", "File access denied", ": это устройство, а не обычный файл")},
        {"a name too long, cut in the middle", longName,
         failure(longNameQuoted, "I/O error 36", ": имя файла или папки слишком длинное")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadObservationFile(c.path);
            ADD_FAILURE() << "no FileError";
        } catch (const FileError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

TEST(ReadObservationStream, ReadsAPipeAsAFile)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string text = "1:2:3\r4:5:6\r";
    ASSERT_EQ(::write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(ends[1]);
    EXPECT_EQ(ReadObservationStream(ends[0], "-"), (Lines{{"1", "2", "3"}, {"4", "5", "6"}}));
    ::close(ends[0]);
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
        {EROFS, FileAction::Write,
         "File access denied\nНе удалось записать файл «x.txt»: файловая система только для чтения."},
        {ENOSPC, FileAction::Write, "Disk full\nНе удалось записать файл «x.txt»."},
        {EDQUOT, FileAction::Write, "Disk full\nНе удалось записать файл «x.txt»."},
        {ENOENT, FileAction::Read, "File not found\nНе удалось прочитать файл «x.txt»."},
        {ENOENT, FileAction::Write,
         "I/O error 2\nНе удалось записать файл «x.txt»: нет папки, в которой он должен быть."},
        {EIO, FileAction::Read, "I/O error 5\nНе удалось прочитать файл «x.txt»."},
        {EISDIR, FileAction::Read, "I/O error 21\nНе удалось прочитать файл «x.txt»: это папка, а не файл."},
        {ENAMETOOLONG, FileAction::Write,
         "I/O error 36\nНе удалось записать файл «x.txt»: имя файла или папки слишком длинное."},
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
