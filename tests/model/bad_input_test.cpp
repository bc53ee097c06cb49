// Input a user can give that once crashed, stalled or lost data: each case
// here found a fault, by fuzzing or by trying it.

#include "model/estimation.h"
#include "model/number_text.h"
#include "model/observation_file.h"
#include "model/table.h"
#include "model/workbook.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace model {
namespace {

namespace fs = std::filesystem;

const std::string kByteOrderMark = "\xEF\xBB\xBF";

// A file in a fresh folder under the system's temporary folder, removed afterwards.
class BadFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder =
            fs::temp_directory_path()
            / ("bad_input_test-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device()()));
        fs::create_directories(m_folder);
    }

    void TearDown() override { fs::remove_all(m_folder); }

    std::string write(const std::string& bytes) const
    {
        const std::string path = (m_folder / "observations.txt").string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    fs::path m_folder;
};

std::vector<ObservationLine> Rows(const Table& table)
{
    std::vector<ObservationLine> rows;
    for (int row = 1; row < table.rowCount(); ++row)
        rows.push_back({table.cell(ObservationColumn::kY, row), table.cell(ObservationColumn::kK, row),
                        table.cell(ObservationColumn::kL, row)});
    return rows;
}

// Found by fuzzing: reading drops a leading byte-order mark, so a first cell
// that began with U+FEFF lost it on saving and loading again.
TEST(BadInput, CellsBeginningWithAByteOrderMarkSurviveSavingAndLoading)
{
    const std::vector<std::vector<ObservationLine>> cases = {
        {{kByteOrderMark + "100", "2", "3"}},
        {{kByteOrderMark, "", ""}, {"1", "2", "3"}},
        {{"1", "2", "3"}, {kByteOrderMark + "4", kByteOrderMark, "6"}},
        {{kByteOrderMark + kByteOrderMark + "7", "8", "9"}},
    };
    for (const auto& lines : cases) {
        Workbook saved;
        LoadObservations(saved, lines);
        const std::string file = FormatObservationFile(saved.observations);
        EXPECT_EQ(file.starts_with(kByteOrderMark), lines.front().output.starts_with(kByteOrderMark)) << file;

        Workbook loaded;
        LoadObservations(loaded, ParseObservationText(DecodeFileText(file)));
        EXPECT_EQ(Rows(loaded.observations), lines) << file;
    }
}

// A megabyte cell in a message box took seconds to show; messages quote the
// start of a long text, cut between whole characters.
TEST(BadInput, LongTextsAreQuotedByTheirStartInMessages)
{
    struct Case {
        const char* name;
        std::function<void(const std::string&)> parse;
        std::string text;
        std::string quoted;
    };
    const std::string megabyte(1 << 20, '1');
    // 'ж' is two bytes: after one ASCII letter, byte 100 is inside a character.
    std::string cyrillic = "x";
    for (int i = 0; i < 100; ++i)
        cyrillic += "ж";
    const Case cases[] = {
        {"number", [](const std::string& text) { ParseNumber(text, ','); }, megabyte + "x",
         "'" + std::string(100, '1') + "\u2026'"},
        {"count", [](const std::string& text) { ParseCount(text); }, megabyte + ",5",
         "'" + std::string(100, '1') + "\u2026'"},
        {"whole characters", [](const std::string& text) { ParseNumber(text, ','); }, cyrillic,
         "'x" + cyrillic.substr(1, 98) + "\u2026'"},
        {"at the limit", [](const std::string& text) { ParseNumber(text, ','); }, std::string(99, '1') + "x",
         "'" + std::string(99, '1') + "x'"},
    };
    for (const Case& test : cases) {
        try {
            test.parse(test.text);
            ADD_FAILURE() << test.name << ": no error";
        } catch (const ConversionError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.substr(0, message.find(" is not")), test.quoted) << test.name;
        }
    }
}

TEST(BadInput, MegabyteCellFailsTheComputationWithAShortMessageAndKeepsTheTable)
{
    Workbook book;
    LoadObservations(book, {{std::string(1 << 20, '1') + "x", "2", "3"}, {"4", "5", "6"}});
    const std::vector<ObservationLine> before = Rows(book.observations);

    try {
        ComputeCommand(book, ',');
        ADD_FAILURE() << "no error";
    } catch (const ComputationError& error) {
        EXPECT_LT(std::string(error.what()).size(), 300u);
        EXPECT_EQ(error.row(), 1);
    }
    EXPECT_EQ(Rows(book.observations), before);
}

// A file of gigabytes, or a device such as /dev/zero, was read until memory
// ran out. The limit is checked as the bytes come, so one file stands for both.
TEST_F(BadFileTest, FileTooLargeIsRefused)
{
    const std::string path = write(std::string(kMaxObservationFileBytes + 1, '1'));
    try {
        ReadObservationFile(path);
        ADD_FAILURE() << "read";
    } catch (const FileError& error) {
        EXPECT_EQ(error.error(), EFBIG);
        EXPECT_EQ(std::string(error.what()), "File too large\nНе удалось прочитать файл «" + path + "».");
    }

    // A single line as long as the limit allows is read whole.
    const std::vector<ObservationLine> lines =
        ReadObservationFile(write(std::string(kMaxObservationFileBytes, '1')));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines.front().output.size(), kMaxObservationFileBytes);
}

// Millions of empty lines took gigabytes to split before being refused.
TEST_F(BadFileTest, MillionsOfLinesAreRefusedWithoutSplittingThemAll)
{
    const std::vector<ObservationLine> lines = ReadObservationFile(write(std::string(8 << 20, '\n')));
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kMaxObservationCount) + 1);

    Workbook book;
    EXPECT_THROW(LoadObservations(book, lines), CountError);
    EXPECT_EQ(book.countText, "1");

    // Exactly the most lines a table takes still load, the last one unended.
    std::string most;
    for (int line = 1; line <= kMaxObservationCount; ++line)
        most += std::to_string(line) + ":2:3" + (line < kMaxObservationCount ? "\n" : "");
    LoadObservations(book, ReadObservationFile(write(most)));
    EXPECT_EQ(book.countText, std::to_string(kMaxObservationCount));
    EXPECT_EQ(book.observations.cell(ObservationColumn::kY, kMaxObservationCount),
              std::to_string(kMaxObservationCount));
}

}  // namespace
}  // namespace model
