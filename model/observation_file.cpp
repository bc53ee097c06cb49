#include "model/observation_file.h"

#include "model/number_text.h"
#include "model/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace model {

namespace {

std::string PlatformMessage(int error, FileAction action)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
        return "Disk full";
    case EFBIG:
        return "File too large";
    case ENOENT:
        // A file that is missing when saving is the one being created: the
        // missing part is its folder, for which "File not found" misleads.
        if (action == FileAction::Read)
            return "File not found";
        break;
    default:
        break;
    }
    return "I/O error " + std::to_string(error);
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Fills the three fields; returns the text after a third ':', which is not loaded.
std::string_view SplitFields(std::string_view line, ObservationLine& fields)
{
    std::size_t start = 0;
    for (std::string* field : {&fields.output, &fields.capital, &fields.labour}) {
        if (start > line.size())
            return {};  // fewer than two ':' before this field: it stays empty
        const std::size_t end = std::min(line.find(':', start), line.size());
        *field = std::string(line.substr(start, end - start));
        start = end + 1;
    }
    return start < line.size() ? line.substr(start) : std::string_view();
}

// Notes the line in report when it is the first of its kind.
void Review(ObservationFileReport& report, std::size_t lineNumber, const ObservationLine& fields,
            std::string_view dropped)
{
    if (report.firstLineWithExtraFields == 0 && !dropped.empty())
        report.firstLineWithExtraFields = lineNumber;
    if (report.firstLineNotNumbers != 0)
        return;
    for (const std::string* field : {&fields.output, &fields.capital, &fields.labour}) {
        if (field->empty())
            continue;  // an empty cell is no fault: "Вычислить" stops at it silently
        try {
            ParseNumber(*field, report.separator);
        } catch (const ConversionError& error) {
            report.firstLineNotNumbers = lineNumber;
            report.notNumberMessage = error.what();
            return;
        }
    }
}

void WriteLine(Table& observations, int row, const ObservationLine& line)
{
    observations.setCell(ObservationColumn::kY, row, line.output);
    observations.setCell(ObservationColumn::kK, row, line.capital);
    observations.setCell(ObservationColumn::kL, row, line.labour);
}

// Closes the descriptor on every path, and removes the temporary file unless
// it has replaced the target.
struct TemporaryFile {
    int descriptor = -1;
    std::string path;
    bool renamed = false;

    ~TemporaryFile()
    {
        if (descriptor >= 0)
            ::close(descriptor);
        if (!renamed && !path.empty())
            ::unlink(path.c_str());
    }
};

// Creates a new, uniquely named file in folder, with the default permissions.
void CreateTemporary(TemporaryFile& file, const std::filesystem::path& folder,
                     const std::string& target)
{
    std::random_device random;
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, ".~%08x.tmp", static_cast<unsigned>(random()));
        const std::string path = (folder / name).string();
        const int descriptor =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            file.descriptor = descriptor;
            file.path = path;
            return;
        }
        if (errno != EEXIST)
            throw FileError(errno, FileAction::Write, target);
    }
    throw FileError(EEXIST, FileAction::Write, target);
}

// The text up to the end of line kMaxObservationCount + 1. A file of more
// lines is refused by LoadObservations whatever the rest holds, while
// splitting millions of empty lines would take gigabytes.
std::string_view FirstLinesToLoad(std::string_view text)
{
    std::size_t end = 0;
    for (int line = 0; line <= kMaxObservationCount; ++line) {
        end = text.find('\n', end);
        if (end == std::string_view::npos)
            return text;
        ++end;
    }
    return text.substr(0, end);
}

}  // namespace

FileError::FileError(int error, FileAction action, const std::string& path)
    : std::runtime_error(PlatformMessage(error, action) + "\n"
                         + (action == FileAction::Read ? "Не удалось прочитать файл «"
                                                       : "Не удалось записать файл «")
                         + path + "»."),
      m_error(error)
{
}

std::string DecodeFileText(std::string_view bytes)
{
    if (!IsValidUtf8(bytes))
        return Windows1251ToUtf8(bytes);
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    return std::string(bytes);
}

std::vector<ObservationLine> ParseObservationText(std::string_view text, ObservationFileReport* report)
{
    std::vector<ObservationLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line(text.substr(start, end - start));
        std::erase(line, '\r');
        ObservationLine& fields = lines.emplace_back();
        const std::string_view dropped = SplitFields(line, fields);
        if (report)
            Review(*report, lines.size(), fields, dropped);
        start = end + 1;
    }
    return lines;
}

std::string LoadNotice(const ObservationFileReport& report)
{
    std::string notice;
    if (report.firstLineNotNumbers != 0)
        notice += "\nСтрока " + std::to_string(report.firstLineNotNumbers) + ": "
                  + report.notNumberMessage + ". Ячейки загружены так, как они записаны в файле.";
    if (report.firstLineWithExtraFields != 0)
        notice += "\nСтрока " + std::to_string(report.firstLineWithExtraFields)
                  + ": полей больше трёх; то, что после третьего «:», не загружено.";
    if (notice.empty())
        return notice;
    return "Файл загружен, но в нём не только наблюдения Y:K:L." + notice;
}

std::vector<ObservationLine> ReadObservationFile(const std::string& path, ObservationFileReport* report)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        throw FileError(errno, FileAction::Read, path);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(descriptor);
            throw FileError(error, FileAction::Read, path);
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
        // Also ends reading what has no end, such as a device.
        if (bytes.size() > kMaxObservationFileBytes) {
            ::close(descriptor);
            throw FileError(EFBIG, FileAction::Read, path);
        }
    }
    ::close(descriptor);  // read-only: nothing is lost if closing fails
    const std::string text = DecodeFileText(bytes);
    return ParseObservationText(FirstLinesToLoad(text), report);
}

void LoadObservations(Workbook& book, const std::vector<ObservationLine>& lines)
{
    if (lines.size() > static_cast<std::size_t>(kMaxObservationCount))
        throw CountError("Файл не загружен: строк в нём больше, чем может быть наблюдений ("
                         + std::to_string(kMaxObservationCount) + ").");
    ClearCommand(book);

    // The end state of adding the lines one at a time, each filling the last
    // observation row and raising the count by one, then lowering the count
    // by one: the first line lands in the last row, line j > 0 in row
    // first + j, and the count ends at first + k - 1.
    const int k = static_cast<int>(lines.size());
    const int first = ParseObservationCount(book.countText);
    const std::string finalText = std::to_string(first + k - 1);
    ParseObservationCount(finalText);  // refuses before a line is written

    Table& observations = book.observations;
    if (k > 0)
        WriteLine(observations, observations.rowCount() - 1, lines.front());
    // The count the last line left, so that the final text is a change and
    // CountRule runs once, on it.
    book.countText = std::to_string(first + k);
    SetCountText(book, finalText);
    for (int j = 1; j < k; ++j)
        WriteLine(observations, first + j, lines[static_cast<std::size_t>(j)]);
}

std::string FormatObservationFile(const Table& observations)
{
    std::string text;
    // Reading drops one leading byte-order mark, so a first cell that begins
    // with U+FEFF keeps it only behind a mark of the file's own.
    if (observations.rowCount() > 1 && observations.cell(ObservationColumn::kY, 1).starts_with(kByteOrderMark))
        text = kByteOrderMark;
    for (int row = 1; row < observations.rowCount(); ++row) {
        text += observations.cell(ObservationColumn::kY, row);
        text += ':';
        text += observations.cell(ObservationColumn::kK, row);
        text += ':';
        text += observations.cell(ObservationColumn::kL, row);
        text += "\r\n";
    }
    return text;
}

void WriteObservationFile(const std::string& path, const Table& observations)
{
    const std::string text = FormatObservationFile(observations);
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";

    TemporaryFile file;
    CreateTemporary(file, folder, path);

    struct stat existing;
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)
        && ::fchmod(file.descriptor, existing.st_mode & 07777) != 0)
        throw FileError(errno, FileAction::Write, path);

    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = ::write(file.descriptor, text.data() + written, text.size() - written);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errno, FileAction::Write, path);
        }
        written += static_cast<std::size_t>(count);
    }
    if (::fsync(file.descriptor) != 0)
        throw FileError(errno, FileAction::Write, path);
    const int descriptor = file.descriptor;
    file.descriptor = -1;  // closed below whatever the outcome; never twice
    if (::close(descriptor) != 0)
        throw FileError(errno, FileAction::Write, path);
    if (::rename(file.path.c_str(), path.c_str()) != 0)
        throw FileError(errno, FileAction::Write, path);
    file.renamed = true;

    // Makes the rename itself durable. The new file is in place already, so
    // a failure here is not reported as a failed save.
    const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor >= 0) {
        ::fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
}

}  // namespace model
