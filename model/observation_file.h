#pragma once

#include "model/table.h"
#include "model/workbook.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The observation file: one observation per line, "Y:K:L", the texts of
// columns 1 to 3 of one observation row exactly as they stand in the cells.
// Written as UTF-8 without a byte-order mark, lines ended by CR LF.
namespace model {

// The three fields of one line, copied without trimming or checking.
struct ObservationLine {
    std::string output;   // Y
    std::string capital;  // K
    std::string labour;   // L

    bool operator==(const ObservationLine&) const = default;
};

enum class FileAction { Read, Write };

// A failed file operation. what() is the platform's message for the error
// ("File access denied", "Disk full", "File not found" when reading, "File
// too large", else "I/O error <errno>"), then a line in Russian naming the
// file, ended by the explanation, or by plain words for an error whose
// platform message says little (a folder, a name too long...). The file's
// name is quoted with its control characters visible and, past 100 bytes,
// cut in the middle.
class FileError : public std::runtime_error {
public:
    FileError(int error, FileAction action, const std::string& path, const std::string& explanation = {});

    // The errno value the operation failed with.
    int error() const { return m_error; }

private:
    int m_error;
};

// File content as UTF-8: UTF-16 (little or big endian) when it starts with
// its byte-order mark, which is removed (a lone surrogate or an odd last byte
// becoming U+FFFD); otherwise kept as it is when it is valid UTF-8 (a leading
// byte-order mark removed), else read as Windows-1251. NUL bytes are kept:
// such a text loads, and fails only when a computation parses it.
std::string DecodeFileText(std::string_view bytes);

// What the lines of a file hold that the observation rows will not show as
// numbers. Lines are numbered from 1; 0 stands for none.
struct ObservationFileReport {
    explicit ObservationFileReport(char separator) : separator(separator) {}

    // Fields are judged as numbers written with this decimal separator.
    char separator;
    // The first line with a field that is neither empty nor a number, and
    // what ParseNumber says of that field.
    std::size_t firstLineNotNumbers = 0;
    std::string notNumberMessage;
    // The first line with text after a third ':', which is not loaded.
    std::size_t firstLineWithExtraFields = 0;
};

// Splits decoded text into lines and fields. A line ends at LF, and every
// CR is dropped; but in a text with CRs and no LF, as old spreadsheets and
// Mac editors write, a line ends at CR. Text after the last line end is a
// line too, so the empty text has no line and a final line end adds none.
// Field 1 runs to the first ':', field 2 to the next, field 3 to the next or
// to the end; a missing field is empty and anything after a third ':' is
// ignored. Notes in report, when given, what the lines hold besides numbers.
std::vector<ObservationLine> ParseObservationText(std::string_view text,
                                                  ObservationFileReport* report = nullptr);

// What the window tells the user once a file has loaded: the first line with
// a field that is not a number and the first with fields beyond the third,
// in one message; the empty text when the report found neither.
std::string LoadNotice(const ObservationFileReport& report);

// The largest file ReadObservationFile reads: many times any table of
// kMaxObservationCount rows, while reading it takes little memory.
inline constexpr std::size_t kMaxObservationFileBytes = std::size_t{16} << 20;

// Reads, decodes and splits a whole file, but no more than
// kMaxObservationCount + 1 lines: a file of more cannot be loaded anyway.
// Throws FileError and changes nothing else: at once, without waiting, for
// anything but a regular file (a folder, a FIFO, a device, a socket); a file
// of more than kMaxObservationFileBytes fails with EFBIG, "File too large".
// Fills report, when given, as ParseObservationText does.
std::vector<ObservationLine> ReadObservationFile(const std::string& path,
                                                 ObservationFileReport* report = nullptr);

// Reads, decodes and splits what an open descriptor gives, such as standard
// input, as ReadObservationFile reads a file; `name` stands for it in messages.
std::vector<ObservationLine> ReadObservationStream(int descriptor, const std::string& name,
                                                   ObservationFileReport* report = nullptr);

// Replaces the observations with the lines: runs ClearCommand (early stops
// included), puts the first line into the last observation row and each
// further line into the row below the one before, then sets the count text
// to the number of rows the lines end in, which renumbers the observation
// and calculation tables. Over a table ClearCommand left with one row and
// the count "1", k lines give the rows 1 .. k and the count text k (an
// empty list leaves "1"). Throws CountError without changing anything when
// there are more than kMaxObservationCount lines; throws ConversionError or
// CountError after ClearCommand but before writing a line when the count
// text is not a count the lines can be added to.
void LoadObservations(Workbook& book, const std::vector<ObservationLine>& lines);

// The file text of a table with at least 4 columns: for each data row the
// cells of columns 1, 2 and 3 joined by ':' and ended by CR LF, so an empty
// row gives "::". A ':' inside a cell is written as it is. The text starts
// with a byte-order mark only when the first cell does, so that reading it
// back keeps the cell's own.
std::string FormatObservationFile(const Table& observations);

// Saves FormatObservationFile(observations) to path atomically: the text is
// written and synced to a temporary file in the target's folder, which then
// replaces the target. The target is the file that symbolic links at path
// lead to, so links stay links (a link leading nowhere: the missing file is
// created). An existing target keeps its owner and group where the system
// allows, and its mode. Refused with FileError, before anything changes, when
// the target is not a regular file, is read-only for the user (as root: has
// no write permission at all), or has several hard links, which replacing it
// would split. The temporary file has no name while it is written where the
// file system allows; one left by a killed save is removed by the next save
// into that folder. Throws FileError on failure; the temporary file is then
// removed and an existing target is left as it was.
void WriteObservationFile(const std::string& path, const Table& observations);

}  // namespace model
