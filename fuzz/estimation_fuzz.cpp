// "Вычислить" on any observation table: any text in any cell (year column
// included), any number of rows up to kMaxRows, any text in the count field;
// the estimation with its statistics and their lines, then the forecast
// over the coefficients. Faults of the program's own kinds
// are answers; anything else escaping, a crash or a hang is a bug.
//
// Input: byte 0 holds flags (bit 0: '.' as the separator, else ','; bit 1:
// the first cell is typed into the count field after filling; bit 2: a
// forecast follows), byte 1 the row count modulo kMaxRows + 1; the rest
// are cell texts separated by tabs, filling the observation rows column by
// column of each row, then the forecast's count text and its K, L cells.

#include "fuzz/fuzz_check.h"
#include "model/estimation.h"
#include "model/number_text.h"
#include "model/statistics.h"
#include "model/table.h"
#include "model/workbook.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kMaxRows = 64;

class Cells {
public:
    explicit Cells(std::string_view text) : m_text(text) {}

    bool empty() const { return m_done; }

    std::string next()
    {
        if (m_done)
            return {};
        const std::size_t tab = m_text.find('\t');
        const std::string cell(m_text.substr(0, tab));
        if (tab == std::string_view::npos)
            m_done = true;
        else
            m_text.remove_prefix(tab + 1);
        return cell;
    }

private:
    std::string_view m_text;
    bool m_done = false;
};

struct Result {
    bool complete = false;
    std::string error;  // what() of the ComputationError, if one was thrown
    std::vector<std::string> calculation, fit;
    std::vector<std::string> captions;
};

Result Compute(model::Workbook& book, char separator)
{
    Result result;
    const std::vector<std::string> observations = fuzz::Snapshot(book.observations);
    try {
        result.complete = model::ComputeWithStatistics(book, separator).complete();
    } catch (const model::ComputationError& error) {
        result.error = error.what();
    }
    fuzz::Require(fuzz::Snapshot(book.observations) == observations,
                  "computing leaves the observations as they were");
    result.calculation = fuzz::Snapshot(book.calculation);
    result.fit = fuzz::Snapshot(book.fit);
    result.captions = {book.aCaption,         book.ACaption,  book.bCaption,
                       book.meanErrorCaption, book.r2Caption, book.formula};
    fuzz::Require(book.statistics.has_value() == result.complete, "statistics exactly after a complete run");
    if (book.statistics) {
        for (const model::StatisticsLine& line : model::StatisticsLines(*book.statistics, separator))
            result.captions.push_back(line.label + '\t' + line.value);
    }
    return result;
}

bool operator==(const Result& a, const Result& b)
{
    return a.complete == b.complete && a.error == b.error && a.calculation == b.calculation && a.fit == b.fit
           && a.captions == b.captions;
}

void Forecast(Cells& cells, double alfa, double A, char separator)
{
    model::Table forecast(model::ForecastColumn::kCount);
    std::string countText = cells.next();
    try {
        model::ForecastCommand(forecast, countText, {alfa, A}, separator);
    } catch (const model::ConversionError&) {
        return;
    } catch (const model::CountError&) {
        return;
    } catch (const model::ComputationError&) {
    }
    for (int row = 1; row < forecast.rowCount() && !cells.empty(); ++row) {
        forecast.setCell(model::ForecastColumn::kK, row, cells.next());
        forecast.setCell(model::ForecastColumn::kL, row, cells.next());
    }
    try {
        model::ForecastCommand(forecast, countText, {alfa, A}, separator);
    } catch (const model::ComputationError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const char separator = (data[0] & 1) != 0 ? '.' : ',';
    const bool typeCount = (data[0] & 2) != 0;
    const bool forecast = (data[0] & 4) != 0;
    const int rows = data[1] % (kMaxRows + 1);
    Cells cells(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2));

    model::Workbook book;
    model::SetCountText(book, std::to_string(rows));
    const std::string countText = typeCount ? cells.next() : std::string();
    for (int row = 1; row < book.observations.rowCount() && !cells.empty(); ++row) {
        for (int column = 0; column < model::ObservationColumn::kCount; ++column)
            book.observations.setCell(column, row, cells.next());
    }
    if (typeCount) {
        try {
            model::SetCountText(book, countText);
        } catch (const model::ConversionError&) {
        } catch (const model::CountError&) {
        }
        fuzz::Require(book.countText == (countText == "0" ? "1" : countText),
                      "the count field shows what was typed");
    }

    // A second press of "Вычислить" on the same table gives the same answer.
    const Result first = Compute(book, separator);
    const Result second = Compute(book, separator);
    fuzz::Require(first == second, "computing again gives the same result");
    if (first.complete) {
        const auto m = static_cast<std::size_t>(book.observations.rowCount() - 1);
        fuzz::Require(book.observedSeries.size() == m && book.fittedSeries.size() == m,
                      "a chart point per row");
        fuzz::Require(book.r2Caption.starts_with("R2= "), "a complete run shows R2");
    }
    if (forecast)
        Forecast(cells, book.alfa, book.A, separator);
    return 0;
}
