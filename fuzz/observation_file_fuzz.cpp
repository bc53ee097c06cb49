// The observation-file reader: any bytes through DecodeFileText,
// ParseObservationText and LoadObservations into a workbook, as opening a
// file does. What loads must be what a save then writes: nothing is lost.

#include "fuzz/fuzz_check.h"
#include "model/observation_file.h"
#include "model/table.h"
#include "model/text_encoding.h"
#include "model/workbook.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool OneLineField(const std::string& field)
{
    return field.find_first_of(":\r\n") == std::string::npos;
}

// The lines as the observation table holds them after loading.
std::vector<model::ObservationLine> TableLines(const model::Table& observations)
{
    using Column = model::ObservationColumn;
    std::vector<model::ObservationLine> lines;
    for (int row = 1; row < observations.rowCount(); ++row)
        lines.push_back({observations.cell(Column::kY, row), observations.cell(Column::kK, row),
                         observations.cell(Column::kL, row)});
    return lines;
}

void CheckLoaded(const model::Workbook& book, const std::vector<model::ObservationLine>& lines)
{
    const std::size_t rows = std::max<std::size_t>(lines.size(), 1);
    fuzz::Require(book.countText == std::to_string(rows), "the count is the number of lines");
    fuzz::Require(book.observations.rowCount() == static_cast<int>(rows) + 1, "a row for every line");
    for (int row = 1; row < book.observations.rowCount(); ++row)
        fuzz::Require(book.observations.cell(model::ObservationColumn::kYear, row) == std::to_string(row),
                      "rows are numbered");
    if (lines.empty())
        return;
    fuzz::Require(TableLines(book.observations) == lines, "every line lands in its row");
    const std::string saved = model::FormatObservationFile(book.observations);
    fuzz::Require(model::ParseObservationText(model::DecodeFileText(saved)) == lines,
                  "saving what was loaded gives the same lines");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = model::DecodeFileText(bytes);
    fuzz::Require(model::IsValidUtf8(text), "decoded text is UTF-8");
    fuzz::Require(text.size() <= 3 * size, "decoding at most triples the size");

    const std::vector<model::ObservationLine> lines = model::ParseObservationText(text);
    for (const model::ObservationLine& line : lines) {
        fuzz::Require(OneLineField(line.output) && OneLineField(line.capital) && OneLineField(line.labour),
                      "a field holds no ':', CR or LF");
    }
    if (lines.size() > static_cast<std::size_t>(model::kMaxObservationCount))
        return 0;

    // Loading twice also loads over a table that holds observations.
    model::Workbook book;
    model::LoadObservations(book, lines);
    CheckLoaded(book, lines);
    model::LoadObservations(book, lines);
    CheckLoaded(book, lines);
    return 0;
}
