#include "cli/text_report.h"

#include "model/diagnostics.h"
#include "model/statistics.h"
#include "model/text_encoding.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The data rows of a table that hold any text.
Rows Written(const model::Table& table)
{
    Rows rows;
    for (int row = 1; row < table.rowCount(); ++row) {
        std::vector<std::string> cells;
        bool any = false;
        for (int column = 0; column < table.columnCount(); ++column) {
            cells.push_back(table.cell(column, row));
            any = any || !cells.back().empty();
        }
        if (any)
            rows.push_back(std::move(cells));
    }
    return rows;
}

// Characters on screen of a UTF-8 text: every byte but continuation bytes.
std::size_t Width(std::string_view text)
{
    std::size_t width = 0;
    for (const char c : text)
        width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return width;
}

// The widest a column is padded to. A longer cell is printed whole and
// shifts the rest of its row: one long cell does not widen every row, so the
// report stays about as long as the cells it prints.
constexpr std::size_t kMaxColumnWidth = 24;

// The header and rows in right-aligned columns two blanks apart.
void PrintTable(std::ostream& out, const std::vector<std::string>& header, const Rows& rows)
{
    std::vector<std::size_t> widths;
    widths.reserve(header.size());
    for (const std::string& cell : header)
        widths.push_back(std::min(Width(cell), kMaxColumnWidth));
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], std::min(Width(row[column]), kMaxColumnWidth));
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            if (column > 0)
                text += "  ";
            text.append(widths[column] - std::min(widths[column], Width(cells[column])), ' ');
            text += cells[column];
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    };
    line(header);
    for (const auto& row : rows)
        line(row);
}

std::vector<std::string> Headers(const model::Table& table)
{
    std::vector<std::string> headers;
    headers.reserve(static_cast<std::size_t>(table.columnCount()));
    for (int column = 0; column < table.columnCount(); ++column)
        headers.push_back(model::Trimmed(table.cell(column, 0)));
    return headers;
}

// Lines of the statistics page, values lined up after the widest label.
void PrintLines(std::ostream& out, const std::vector<model::StatisticsLine>& lines)
{
    std::size_t width = 0;
    for (const model::StatisticsLine& line : lines)
        width = std::max(width, Width(line.label));
    for (const model::StatisticsLine& line : lines) {
        if (line.value.empty())
            out << line.label << '\n';
        else
            out << line.label << std::string(width - Width(line.label) + 2, ' ') << line.value << '\n';
    }
}

}  // namespace

ForecastRun RunForecasts(const model::Workbook& book,
                         const std::vector<std::pair<std::string, std::string>>& planned, char separator)
{
    ForecastRun run;
    model::SetForecastHeaders(run.table);
    std::string countText = model::CountRule(std::to_string(planned.size()), {&run.table});
    for (std::size_t i = 0; i < planned.size(); ++i) {
        run.table.setCell(model::ForecastColumn::kK, static_cast<int>(i) + 1, planned[i].first);
        run.table.setCell(model::ForecastColumn::kL, static_cast<int>(i) + 1, planned[i].second);
    }
    run.forecasts = model::ForecastCommand(run.table, countText, model::ForecastBasisOf(book), separator);
    return run;
}

void PrintReport(std::ostream& out, const model::Workbook& book, char separator,
                 const std::optional<ForecastRun>& forecast)
{
    out << "Расчётная таблица\n";
    PrintTable(out, Headers(book.calculation), Written(book.calculation));
    out << '\n'
        << book.aCaption << '\n'
        << book.ACaption << '\n'
        << book.bCaption << '\n'
        << "Производственная функция Кобба-Дугласа: " << book.formula << '\n'
        << book.meanErrorCaption << "\n\n"
        << "Аппроксимация\n";
    PrintTable(out, Headers(book.fit), Written(book.fit));
    out << '\n' << book.r2Caption << '\n';
    if (book.statistics) {
        out << "\nСтатистика\n";
        PrintLines(out, model::StatisticsLines(*book.statistics, separator));
    }
    if (book.diagnostics) {
        out << "\nДиагностика\n";
        PrintLines(out, model::DiagnosticsLines(*book.diagnostics, separator));
    }
    if (forecast) {
        out << "\nПрогноз\n";
        PrintTable(out, Headers(forecast->table), Written(forecast->table));
    }
}

namespace {

std::string JsonString(std::string_view text)
{
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            json += escape;
        } else {
            json += c;  // UTF-8 passes as it is
        }
    }
    return json + '"';
}

// The shortest text that reads back as the same double.
std::string JsonNumber(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// A figure's value, or null when it has none.
std::string JsonFigure(const model::Figure& figure)
{
    return figure.known() ? JsonNumber(figure.value) : "null";
}

std::string JsonEstimate(const model::Estimate& estimate)
{
    return "{\"estimate\": " + JsonFigure(estimate.value)
           + ", \"standard_error\": " + JsonFigure(estimate.standardError) + "}";
}

std::string JsonCoefficient(const model::Coefficient& coefficient)
{
    std::string json = JsonEstimate(coefficient);
    json.pop_back();
    return json + ", \"t\": " + JsonFigure(coefficient.t) + ", \"p\": " + JsonFigure(coefficient.p)
           + ", \"ci95\": [" + JsonFigure(coefficient.low) + ", " + JsonFigure(coefficient.high) + "]}";
}

// The statistics as numbers; a figure the data do not give is null.
std::string JsonStatistics(const std::optional<model::Statistics>& statistics)
{
    if (!statistics)
        return "null";
    const model::Statistics& s = *statistics;
    return "{\n"
           "    \"n\": "
           + std::to_string(s.n)
           + ",\n"
             "    \"a\": "
           + JsonCoefficient(s.a)
           + ",\n"
             "    \"b\": "
           + JsonCoefficient(s.b)
           + ",\n"
             "    \"r2\": "
           + JsonFigure(s.r2) + ", \"adjusted_r2\": " + JsonFigure(s.adjustedR2)
           + ",\n"
             "    \"f\": "
           + JsonFigure(s.f) + ", \"f_p\": " + JsonFigure(s.fP)
           + ",\n"
             "    \"residual_standard_error\": "
           + JsonFigure(s.residualStandardError)
           + ",\n"
             "    \"alpha\": "
           + JsonEstimate(s.alpha)
           + ",\n"
             "    \"beta\": "
           + JsonEstimate(s.beta)
           + ",\n"
             "    \"c\": "
           + JsonEstimate(s.c)
           + ",\n"
             "    \"alpha_plus_beta\": "
           + JsonEstimate(s.alphaPlusBeta)
           + ",\n"
             "    \"constant_returns\": {\"f\": "
           + JsonFigure(s.crsF) + ", \"p\": " + JsonFigure(s.crsP)
           + ", \"conclusion\": " + JsonString(model::ConstantReturnsConclusion(s))
           + "},\n"
             "    \"mean_relative_error\": "
           + JsonFigure(s.meanRelativeError)
           + "\n"
             "  }";
}

// Ŷ, MPK and MPL at one point, with its year when `withYear`.
std::string JsonMarginal(const model::MarginalProducts& point, bool withYear)
{
    return "{" + (withYear ? "\"year\": " + JsonString(point.label) + ", " : std::string())
           + "\"fitted\": " + JsonNumber(point.fitted) + ", \"mpk\": " + JsonNumber(point.capital)
           + ", \"mpl\": " + JsonNumber(point.labour) + "}";
}

// The fit in levels; its figures are null when it did not converge, and `failure` says why.
std::string JsonLevelsFit(const model::LevelsFit& fit)
{
    return "{\"converged\": " + std::string(fit.converged() ? "true" : "false")
           + ", \"failure\": " + (fit.converged() ? "null" : JsonString(fit.failure))
           + ", \"iterations\": " + std::to_string(fit.iterations) + ", \"a\": " + JsonEstimate(fit.a)
           + ", \"A\": " + JsonEstimate(fit.A) + ", \"rss\": " + JsonFigure(fit.rss)
           + ", \"r2\": " + JsonFigure(fit.r2) + ", \"start_rss\": " + JsonFigure(fit.startRss)
           + ", \"start_r2\": " + JsonFigure(fit.startR2) + "}";
}

// The fit in levels, the residual tests, the trend fit and the marginal products; a figure the data do not
// give is null.
std::string JsonDiagnostics(const std::optional<model::Diagnostics>& diagnostics)
{
    if (!diagnostics)
        return "null";
    const model::Diagnostics& d = *diagnostics;
    const model::ResidualTests& r = d.tests;
    std::string residuals, marginal;
    for (std::size_t i = 0; i < d.residuals.size(); ++i) {
        residuals += (i > 0 ? ", " : "") + std::string("{\"year\": ") + JsonString(d.years[i])
                     + ", \"residual\": " + JsonNumber(d.residuals[i]) + "}";
        marginal += (i > 0 ? ",\n      " : "") + JsonMarginal(d.marginal[i], true);
    }
    return "{\n"
           "    \"levels_fit\": "
           + JsonLevelsFit(d.levels)
           + ",\n"
             "    \"residuals\": ["
           + residuals
           + "],\n"
             "    \"durbin_watson\": {\"statistic\": "
           + JsonFigure(r.durbinWatson) + ", \"p\": " + JsonFigure(r.durbinWatsonP)
           + ", \"conclusion\": " + JsonString(model::DurbinWatsonConclusion(r))
           + "},\n"
             "    \"breusch_godfrey\": {\"lm\": "
           + JsonFigure(r.breuschGodfrey) + ", \"p\": " + JsonFigure(r.breuschGodfreyP)
           + ", \"conclusion\": " + JsonString(model::BreuschGodfreyConclusion(r))
           + "},\n"
             "    \"jarque_bera\": {\"skewness\": "
           + JsonFigure(r.skewness) + ", \"kurtosis\": " + JsonFigure(r.kurtosis)
           + ", \"jb\": " + JsonFigure(r.jarqueBera) + ", \"p\": " + JsonFigure(r.jarqueBeraP)
           + ", \"conclusion\": " + JsonString(model::JarqueBeraConclusion(r))
           + "},\n"
             "    \"trend\": {\"a\": "
           + JsonCoefficient(d.trend.a) + ", \"lambda\": " + JsonCoefficient(d.trend.lambda)
           + ", \"b\": " + JsonCoefficient(d.trend.b) + ", \"r2\": " + JsonFigure(d.trend.r2)
           + ", \"tfp_growth_percent\": " + JsonFigure(d.trend.productivityGrowth)
           + "},\n"
             "    \"marginal_products\": {\"at_means\": "
           + JsonMarginal(d.atMeans, false)
           + ",\n"
             "      \"by_year\": [\n      "
           + marginal
           + "]}\n"
             "  }";
}

std::string JsonRows(const Rows& rows)
{
    if (rows.empty())
        return "[]";
    std::string json = "[\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        json += "    [";
        for (std::size_t column = 0; column < rows[i].size(); ++column)
            json += (column > 0 ? ", " : "") + JsonString(rows[i][column]);
        json += i + 1 < rows.size() ? "],\n" : "]\n";
    }
    return json + "  ]";
}

// Each forecast with its K and L texts and its interval; null when none ran through.
std::string JsonForecasts(const std::optional<ForecastRun>& forecast)
{
    if (!forecast)
        return "null";
    std::string json = "[";
    for (std::size_t i = 0; i < forecast->forecasts.size(); ++i) {
        const model::Forecast& f = forecast->forecasts[i];
        const int row = static_cast<int>(i) + 1;
        json += std::string(i > 0 ? "," : "")
                + "\n    {\"K\": " + JsonString(forecast->table.cell(model::ForecastColumn::kK, row))
                + ", \"L\": " + JsonString(forecast->table.cell(model::ForecastColumn::kL, row))
                + ", \"forecast\": " + JsonNumber(f.y) + ", \"low\": " + JsonFigure(f.interval.low)
                + ", \"high\": " + JsonFigure(f.interval.high) + "}";
    }
    return json + "]";
}

}  // namespace

void PrintJson(std::ostream& out, const model::Workbook& book, const std::optional<ForecastRun>& forecast,
               const std::optional<std::string>& error)
{
    out << "{\n"
        << "  \"observations\": " << JsonRows(Written(book.observations)) << ",\n"
        << "  \"calculation\": " << JsonRows(Written(book.calculation)) << ",\n"
        << "  \"fit\": " << JsonRows(Written(book.fit)) << ",\n"
        << "  \"captions\": {\"a\": " << JsonString(book.aCaption) << ", \"A\": " << JsonString(book.ACaption)
        << ", \"b\": " << JsonString(book.bCaption)
        << ", \"mean_error\": " << JsonString(book.meanErrorCaption)
        << ", \"r2\": " << JsonString(book.r2Caption) << "},\n"
        << "  \"formula\": " << JsonString(book.formula) << ",\n"
        << "  \"alfa\": " << JsonNumber(book.alfa) << ",\n"
        << "  \"A\": " << JsonNumber(book.A) << ",\n"
        << "  \"statistics\": " << JsonStatistics(book.statistics) << ",\n"
        << "  \"diagnostics\": " << JsonDiagnostics(book.diagnostics) << ",\n"
        << "  \"forecasts\": " << JsonForecasts(forecast) << ",\n"
        << "  \"error\": " << (error ? JsonString(*error) : "null") << "\n"
        << "}\n";
}

}  // namespace cli
