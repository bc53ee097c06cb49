#include "model/observation_file.h"

#include "model/number_text.h"
#include "model/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace model {

namespace {

namespace fs = std::filesystem;

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

// Plain words for the errors whose platform line says little.
std::string Explanation(int error, FileAction action)
{
    switch (error) {
    case EISDIR:
        return "это папка, а не файл";
    case ENAMETOOLONG:
        return "имя файла или папки слишком длинное";
    case ENOTDIR:
        return "часть пути — не папка";
    case ELOOP:
        return "символические ссылки в пути ведут по кругу";
    case EROFS:
        return "файловая система только для чтения";
    case ENOENT:
        return action == FileAction::Write ? "нет папки, в которой он должен быть" : "";
    default:
        return {};
    }
}

// A path longer than this is quoted by its start and its end.
constexpr std::size_t kQuotedPathBytes = 100;

std::string FileMessage(int error, FileAction action, const std::string& path, std::string explanation)
{
    if (explanation.empty())
        explanation = Explanation(error, action);
    return PlatformMessage(error, action) + "\n"
           + (action == FileAction::Read ? "Не удалось прочитать файл «" : "Не удалось записать файл «")
           + VisibleControls(CutUtf8InMiddle(path, kQuotedPathBytes)) + "»"
           + (explanation.empty() ? "." : ": " + explanation + ".");
}

// The error and words for a file of a type that is not read or replaced.
FileError NotARegularFile(mode_t mode, FileAction action, const std::string& path)
{
    if (S_ISDIR(mode))
        return FileError(EISDIR, action, path);
    const char* what = S_ISFIFO(mode) ? "это именованный канал (FIFO), а не обычный файл"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "это устройство, а не обычный файл"
                       : S_ISSOCK(mode)                 ? "это сокет, а не обычный файл"
                                                        : "это не обычный файл";
    return FileError(EACCES, action, path, what);
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

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

// Temporary files of a save are named ".~cobb-douglas-<process id>-<random>.tmp",
// so that a later save knows those a killed save left.
constexpr std::string_view kTemporaryPrefix = ".~cobb-douglas-";
constexpr std::string_view kTemporarySuffix = ".tmp";

std::string TemporaryName()
{
    std::random_device random;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%08x", static_cast<unsigned>(random()));
    return std::string(kTemporaryPrefix) + std::to_string(::getpid()) + suffix
           + std::string(kTemporarySuffix);
}

// Removes the temporary files of this user's saves into folder whose process
// has ended: a save killed while its file had a name.
void RemoveLeftTemporaries(const fs::path& folder)
{
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix))
            continue;
        const char* digits = name.data() + kTemporaryPrefix.size();
        pid_t process = 0;
        std::from_chars(digits, name.data() + name.size(), process);
        if (process <= 0 || ::kill(process, 0) == 0 || errno != ESRCH)
            continue;  // still running, or not a name of ours
        struct stat status;
        if (::lstat(entry->path().c_str(), &status) == 0 && S_ISREG(status.st_mode)
            && status.st_uid == ::geteuid())
            ::unlink(entry->path().c_str());
    }
}

// The file a save writes before it replaces the target. Where the system
// allows it has no name while it is written (O_TMPFILE), so that a save
// killed then leaves nothing; it is named just before it replaces the target.
// Closes the descriptor on every path, and removes a named file unless it
// has replaced the target.
struct TemporaryFile {
    int descriptor = -1;
    std::string path;  // empty while the file has no name
    bool renamed = false;

    ~TemporaryFile()
    {
        if (descriptor >= 0)
            ::close(descriptor);
        if (!renamed && !path.empty())
            ::unlink(path.c_str());
    }
};

// An unnamed file gets its name through /proc, which any user may use; a
// file system without unnamed files, or no /proc, gets a named file at once.
void OpenTemporary(TemporaryFile& file, const fs::path& folder, const std::string& target)
{
    if (::access("/proc/self/fd", X_OK) == 0) {
        file.descriptor = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (file.descriptor >= 0)
            return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            throw FileError(errno, FileAction::Write, target);
    }
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string path = (folder / TemporaryName()).string();
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

// Gives an unnamed temporary file a unique name in folder.
void NameTemporary(TemporaryFile& file, const fs::path& folder, const std::string& target)
{
    if (!file.path.empty())
        return;
    const std::string unnamed = "/proc/self/fd/" + std::to_string(file.descriptor);
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string path = (folder / TemporaryName()).string();
        if (::linkat(AT_FDCWD, unnamed.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            file.path = path;
            return;
        }
        if (errno != EEXIST)
            throw FileError(errno, FileAction::Write, target);
    }
    throw FileError(EEXIST, FileAction::Write, target);
}

// The file a save replaces: the path itself or, through symbolic links, the
// file they lead to, so that a link stays a link. A link leading nowhere
// gives the missing file, which the save creates.
std::string SaveTarget(const std::string& path)
{
    fs::path target = path;
    constexpr int kMaxLinks = 40;  // as many as the system follows
    for (int link = 0; link < kMaxLinks; ++link) {
        struct stat status;
        if (::lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return target.string();
        std::string destination(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.c_str(), destination.data(), destination.size());
        if (length < 0)
            throw FileError(errno, FileAction::Write, path);
        destination.resize(static_cast<std::size_t>(length));
        target = target.parent_path() / destination;  // an absolute destination replaces it all
    }
    throw FileError(ELOOP, FileAction::Write, path);
}

// Refuses what a save must not replace: anything but a regular file, a file
// the user may not write (as root, one without any write permission), and a
// file with several hard links, which replacing would split.
void CheckReplaceable(const std::string& target, const struct stat& existing, const std::string& path)
{
    if (!S_ISREG(existing.st_mode))
        throw NotARegularFile(existing.st_mode, FileAction::Write, path);
    const bool writable = ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
    if (!writable && errno != EACCES)
        throw FileError(errno, FileAction::Write, path);
    if (!writable || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw FileError(EACCES, FileAction::Write, path, "файл только для чтения");
    if (existing.st_nlink > 1)
        throw FileError(EACCES, FileAction::Write, path,
                        "у файла есть другие имена (жёсткие ссылки: " + std::to_string(existing.st_nlink)
                            + "), замена отделила бы его от них; сохраните под другим именем");
}

// LF, or CR in a text that has CRs but no LF, as old spreadsheets and Mac
// editors end their lines.
char LineEnd(std::string_view text)
{
    return text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos ? '\r'
                                                                                                  : '\n';
}

// The text up to the end of line kMaxObservationCount + 1. A file of more
// lines is refused by LoadObservations whatever the rest holds, while
// splitting millions of empty lines would take gigabytes.
std::string_view FirstLinesToLoad(std::string_view text)
{
    const char lineEnd = LineEnd(text);
    std::size_t end = 0;
    for (int line = 0; line <= kMaxObservationCount; ++line) {
        end = text.find(lineEnd, end);
        if (end == std::string_view::npos)
            return text;
        ++end;
    }
    return text.substr(0, end);
}

// Closes the descriptor on every path; a file only read loses nothing if
// closing fails.
struct Descriptor {
    int value = -1;

    ~Descriptor()
    {
        if (value >= 0)
            ::close(value);
    }
};

// Everything the descriptor gives, up to kMaxObservationFileBytes.
std::string ReadAll(int descriptor, const std::string& name)
{
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count == 0)
            return bytes;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errno, FileAction::Read, name);
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
        // Also ends reading what has no end, such as a pipe fed forever.
        if (bytes.size() > kMaxObservationFileBytes)
            throw FileError(EFBIG, FileAction::Read, name);
    }
}

std::vector<ObservationLine> LinesToLoad(std::string_view bytes, ObservationFileReport* report)
{
    const std::string text = DecodeFileText(bytes);
    return ParseObservationText(FirstLinesToLoad(text), report);
}

}  // namespace

FileError::FileError(int error, FileAction action, const std::string& path, const std::string& explanation)
    : std::runtime_error(FileMessage(error, action, path, explanation)), m_error(error)
{
}

std::string DecodeFileText(std::string_view bytes)
{
    if (bytes.starts_with(kUtf16LittleEndianMark) || bytes.starts_with(kUtf16BigEndianMark))
        return Utf16ToUtf8(bytes.substr(2), bytes.starts_with(kUtf16BigEndianMark));
    if (!IsValidUtf8(bytes))
        return Windows1251ToUtf8(bytes);
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    return std::string(bytes);
}

std::vector<ObservationLine> ParseObservationText(std::string_view text, ObservationFileReport* report)
{
    std::vector<ObservationLine> lines;
    const char lineEnd = LineEnd(text);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(lineEnd, start), text.size());
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
        notice += "\nСтрока " + std::to_string(report.firstLineNotNumbers) + ": " + report.notNumberMessage
                  + ". Ячейки загружены так, как они записаны в файле.";
    if (report.firstLineWithExtraFields != 0)
        notice += "\nСтрока " + std::to_string(report.firstLineWithExtraFields)
                  + ": полей больше трёх; то, что после третьего «:», не загружено.";
    if (notice.empty())
        return notice;
    return "Файл загружен, но в нём не только наблюдения Y:K:L." + notice;
}

std::vector<ObservationLine> ReadObservationFile(const std::string& path, ObservationFileReport* report)
{
    // Non-blocking, so that opening a FIFO nobody writes to, or a device,
    // returns at once and its type is refused below.
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.value < 0)
        throw FileError(errno, FileAction::Read, path);
    struct stat status;
    if (::fstat(file.value, &status) != 0)
        throw FileError(errno, FileAction::Read, path);
    if (!S_ISREG(status.st_mode))
        throw NotARegularFile(status.st_mode, FileAction::Read, path);
    return LinesToLoad(ReadAll(file.value, path), report);
}

std::vector<ObservationLine> ReadObservationStream(int descriptor, const std::string& name,
                                                   ObservationFileReport* report)
{
    return LinesToLoad(ReadAll(descriptor, name), report);
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
    if (observations.rowCount() > 1
        && observations.cell(ObservationColumn::kY, 1).starts_with(kByteOrderMark))
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
    const std::string target = SaveTarget(path);
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        throw FileError(errno, FileAction::Write, path);
    if (exists)
        CheckReplaceable(target, existing, path);
    fs::path folder = fs::path(target).parent_path();
    if (folder.empty())
        folder = ".";
    RemoveLeftTemporaries(folder);

    TemporaryFile file;
    OpenTemporary(file, folder, path);
    if (exists) {
        // Owner and group are kept where the system allows: only root gives
        // a file to another user, others only to a group of their own. The
        // mode is set after them, as a change of owner clears set-user-ID.
        if (::fchown(file.descriptor, existing.st_uid, existing.st_gid) != 0
            && ::fchown(file.descriptor, static_cast<uid_t>(-1), existing.st_gid) != 0 && errno != EPERM)
            throw FileError(errno, FileAction::Write, path);
        if (::fchmod(file.descriptor, existing.st_mode & 07777) != 0)
            throw FileError(errno, FileAction::Write, path);
    }

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
    NameTemporary(file, folder, path);
    const int descriptor = file.descriptor;
    file.descriptor = -1;  // closed below whatever the outcome; never twice
    if (::close(descriptor) != 0)
        throw FileError(errno, FileAction::Write, path);
    if (::rename(file.path.c_str(), target.c_str()) != 0)
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
