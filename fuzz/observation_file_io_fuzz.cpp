// Reading and saving observation files of every kind a user may pick: a
// regular file, links to one, a link leading nowhere, a FIFO nobody writes
// to, a folder, a device, a file with two hard links, a read-only file, and
// standard input. Any bytes as the content. What reads must read as
// DecodeFileText and ParseObservationText say, at once; what is saved must
// read back the same, through links; what a save refuses stays as it was;
// no temporary file is left behind.
//
// Input: byte 0 picks the kind (modulo 9); the rest is the content.

#include "fuzz/fuzz_check.h"
#include "model/observation_file.h"
#include "model/table.h"
#include "model/workbook.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

enum Kind { kRegular, kLink, kDangling, kFifo, kFolder, kDevice, kHardLinks, kReadOnly, kStream, kKinds };

// A scratch folder for this process, emptied before every input.
const fs::path& Scratch()
{
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "observation_file_io-XXXXXX").string();
        fuzz::Require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder");
        return fs::path(pattern);
    }();
    return folder;
}

void Empty(const fs::path& folder)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_symlink())
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(entry.path());
    }
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines the file's content gives, as far as reading takes them.
std::vector<model::ObservationLine> ExpectedLines(std::string_view bytes)
{
    std::vector<model::ObservationLine> lines = model::ParseObservationText(model::DecodeFileText(bytes));
    if (lines.size() > static_cast<std::size_t>(model::kMaxObservationCount) + 1)
        lines.resize(static_cast<std::size_t>(model::kMaxObservationCount) + 1);
    return lines;
}

std::vector<model::ObservationLine> Read(Kind kind, const std::string& path, std::string_view bytes)
{
    if (kind != kStream)
        return model::ReadObservationFile(path);
    int ends[2];
    fuzz::Require(::pipe(ends) == 0, "a pipe");
    fuzz::Require(::write(ends[1], bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
                  "the content fits the pipe");
    ::close(ends[1]);
    try {
        std::vector<model::ObservationLine> lines = model::ReadObservationStream(ends[0], "-");
        ::close(ends[0]);
        return lines;
    } catch (...) {
        ::close(ends[0]);
        throw;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 60000)
        return 0;
    const auto kind = static_cast<Kind>(data[0] % kKinds);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const fs::path& folder = Scratch();
    Empty(folder);

    const fs::path file = folder / "data.txt";
    fs::path path = file;  // what the user picks
    const bool refused = kind == kFifo || kind == kFolder || kind == kDevice;
    std::ofstream(file, std::ios::binary) << bytes;
    switch (kind) {
    case kLink:
        path = folder / "link.txt";
        fs::create_symlink("data.txt", path);
        break;
    case kDangling:
        fs::remove(file);
        path = folder / "link.txt";
        fs::create_symlink("data.txt", path);
        break;
    case kFifo:
        fs::remove(file);
        fuzz::Require(::mkfifo(file.c_str(), 0644) == 0, "a FIFO");
        break;
    case kFolder:
        fs::remove(file);
        fs::create_directory(file);
        break;
    case kDevice:
        path = "/dev/null";
        break;
    case kHardLinks:
        fs::create_hard_link(file, folder / "other.txt");
        break;
    case kReadOnly:
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
        break;
    default:
        break;
    }
    const std::vector<std::string> namesBefore = Names(folder);

    std::vector<model::ObservationLine> lines;
    try {
        lines = Read(kind, path.string(), bytes);
        fuzz::Require(!refused && kind != kDangling, "only what can be read reads");
        fuzz::Require(lines == ExpectedLines(bytes), "reading gives the lines of the content");
    } catch (const model::FileError&) {
        fuzz::Require(refused || kind == kDangling || bytes.size() > model::kMaxObservationFileBytes,
                      "a file that can be read reads");
    }
    if (lines.size() > static_cast<std::size_t>(model::kMaxObservationCount))
        return 0;

    model::Workbook book;
    model::LoadObservations(book, lines);
    const bool saveRefused = refused || kind == kHardLinks || kind == kReadOnly;
    const std::string before = kind == kHardLinks || kind == kReadOnly ? ReadBytes(file) : std::string();
    try {
        model::WriteObservationFile(path.string(), book.observations);
        fuzz::Require(!saveRefused, "a save refuses what it must not replace");
    } catch (const model::FileError&) {
        fuzz::Require(saveRefused, "a save of a regular file or a link to one succeeds");
        fuzz::Require(Names(folder) == namesBefore, "a refused save changes no name");
        if (kind == kHardLinks || kind == kReadOnly)
            fuzz::Require(ReadBytes(file) == before, "a refused save keeps the file");
        if (kind == kFifo)
            fuzz::Require(fs::is_fifo(file), "the FIFO stays a FIFO");
        if (kind == kDevice)
            fuzz::Require(fs::is_character_file("/dev/null"), "the device stays a device");
        return 0;
    }
    if (kind == kLink || kind == kDangling)
        fuzz::Require(fs::is_symlink(path), "a link stays a link");
    fuzz::Require(fs::is_regular_file(file), "the data lands in the file the link leads to");
    fuzz::Require(model::ReadObservationFile(path.string())
                      == model::ParseObservationText(
                          model::DecodeFileText(model::FormatObservationFile(book.observations))),
                  "the saved file reads back as it was written");
    std::vector<std::string> expectedNames = {"data.txt"};
    if (kind == kLink || kind == kDangling)
        expectedNames.push_back("link.txt");
    fuzz::Require(Names(folder) == expectedNames, "no temporary file is left behind");
    return 0;
}
