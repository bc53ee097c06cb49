// cobb-douglas-cli: runs the estimation of "Вычислить" on an observation
// file and prints a report or one JSON object.

#include "model/estimation.h"
#include "model/observation_file.h"
#include "model/statistics.h"
#include "model/text_encoding.h"
#include "model/workbook.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int kComplete = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr const char* kUsageText =
    "Использование: cobb-douglas-cli [--json] [--separator C] [--forecast K:L]... FILE\n"
    "Оценивает производственную функцию Кобба-Дугласа Y=A*K^a*L^(1-a) по файлу\n"
    "наблюдений (строки Y:K:L) и печатает расчётную таблицу, коэффициенты,\n"
    "аппроксимацию, R2 и статистику оценки.\n"
    "  --json          один объект JSON вместо отчёта\n"
    "  --separator C   десятичный разделитель (по умолчанию из локали)\n"
    "  --forecast K:L  прогноз Y при капитале K и труде L с 95 % интервалом\n"
    "                  (можно повторять; числа с тем же разделителем)\n";

struct Options {
    bool help = false;
    bool json = false;
    char separator = ',';
    std::string file;
    std::vector<std::pair<std::string, std::string>> forecasts;  // K and L texts
};

// The user's decimal point, or ',' when the locale's is not one character.
char LocaleSeparator()
{
    std::setlocale(LC_ALL, "");
    const char* point = std::localeconv()->decimal_point;
    return point != nullptr && std::strlen(point) == 1 ? point[0] : ',';
}

// The options (only `help` set when help is asked for), or nothing after
// printing the usage error to stderr.
std::optional<Options> ParseArguments(int argc, char** argv)
{
    Options options;
    std::optional<char> separator;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            return options;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--separator") {
            if (i + 1 >= argc || std::strlen(argv[i + 1]) != 1) {
                std::cerr << "--separator ждёт один символ.\n" << kUsageText;
                return std::nullopt;
            }
            separator = argv[++i][0];
        } else if (argument == "--forecast") {
            const std::string_view planned = i + 1 < argc ? std::string_view(argv[i + 1]) : std::string_view();
            const std::size_t colon = planned.find(':');
            if (colon == 0 || colon == std::string_view::npos || colon + 1 == planned.size()
                || planned.find(':', colon + 1) != std::string_view::npos) {
                std::cerr << "--forecast ждёт K:L.\n" << kUsageText;
                return std::nullopt;
            }
            options.forecasts.emplace_back(planned.substr(0, colon), planned.substr(colon + 1));
            ++i;
        } else if (argument.size() > 1 && argument.front() == '-') {
            std::cerr << "Неизвестный параметр " << argument << ".\n" << kUsageText;
            return std::nullopt;
        } else if (haveFile) {
            std::cerr << "Нужен ровно один файл.\n" << kUsageText;
            return std::nullopt;
        } else {
            options.file = std::string(argument);
            haveFile = true;
        }
    }
    if (!haveFile) {
        std::cerr << kUsageText;
        return std::nullopt;
    }
    options.separator = separator ? *separator : LocaleSeparator();
    return options;
}

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

// The header and rows in right-aligned columns two blanks apart.
void PrintTable(std::ostream& out, const std::vector<std::string>& header, const Rows& rows)
{
    std::vector<std::size_t> widths;
    widths.reserve(header.size());
    for (const std::string& cell : header)
        widths.push_back(Width(cell));
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], Width(row[column]));
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            if (column > 0)
                text += "  ";
            text.append(widths[column] - Width(cells[column]), ' ');
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

// The forecast window's table with the planned K and L, after "Расчитать".
struct ForecastRun {
    model::Table table{model::ForecastColumn::kCount};
    std::vector<model::Forecast> forecasts;
};

// Forecasts each planned K and L as the forecast window does. Throws what ForecastCommand throws.
ForecastRun RunForecasts(const model::Workbook& book, const std::vector<std::pair<std::string, std::string>>& planned,
                         char separator)
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
           "    \"n\": " + std::to_string(s.n) + ",\n"
           "    \"a\": " + JsonCoefficient(s.a) + ",\n"
           "    \"b\": " + JsonCoefficient(s.b) + ",\n"
           "    \"r2\": " + JsonFigure(s.r2) + ", \"adjusted_r2\": " + JsonFigure(s.adjustedR2) + ",\n"
           "    \"f\": " + JsonFigure(s.f) + ", \"f_p\": " + JsonFigure(s.fP) + ",\n"
           "    \"residual_standard_error\": " + JsonFigure(s.residualStandardError) + ",\n"
           "    \"alpha\": " + JsonEstimate(s.alpha) + ",\n"
           "    \"beta\": " + JsonEstimate(s.beta) + ",\n"
           "    \"c\": " + JsonEstimate(s.c) + ",\n"
           "    \"alpha_plus_beta\": " + JsonEstimate(s.alphaPlusBeta) + ",\n"
           "    \"constant_returns\": {\"f\": " + JsonFigure(s.crsF) + ", \"p\": " + JsonFigure(s.crsP)
           + ", \"conclusion\": " + JsonString(model::ConstantReturnsConclusion(s)) + "},\n"
           "    \"mean_relative_error\": " + JsonFigure(s.meanRelativeError) + "\n"
           "  }";
}

// Ŷ, MPK and MPL at one point, with its year when `withYear`.
std::string JsonMarginal(const model::MarginalProducts& point, bool withYear)
{
    return "{" + (withYear ? "\"year\": " + JsonString(point.label) + ", " : std::string()) + "\"fitted\": " + JsonNumber(point.fitted)
           + ", \"mpk\": " + JsonNumber(point.capital) + ", \"mpl\": " + JsonNumber(point.labour) + "}";
}

// The fit in levels; its figures are null when it did not converge, and `failure` says why.
std::string JsonLevelsFit(const model::LevelsFit& fit)
{
    return "{\"converged\": " + std::string(fit.converged() ? "true" : "false")
           + ", \"failure\": " + (fit.converged() ? "null" : JsonString(fit.failure))
           + ", \"iterations\": " + std::to_string(fit.iterations) + ", \"a\": " + JsonEstimate(fit.a)
           + ", \"A\": " + JsonEstimate(fit.A) + ", \"rss\": " + JsonFigure(fit.rss) + ", \"r2\": "
           + JsonFigure(fit.r2) + ", \"start_rss\": " + JsonFigure(fit.startRss)
           + ", \"start_r2\": " + JsonFigure(fit.startR2) + "}";
}

// The fit in levels, the residual tests, the trend fit and the marginal products; a figure the data do not give is null.
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
           "    \"levels_fit\": " + JsonLevelsFit(d.levels) + ",\n"
           "    \"residuals\": [" + residuals + "],\n"
           "    \"durbin_watson\": {\"statistic\": " + JsonFigure(r.durbinWatson) + ", \"p\": "
           + JsonFigure(r.durbinWatsonP) + ", \"conclusion\": " + JsonString(model::DurbinWatsonConclusion(r)) + "},\n"
           "    \"breusch_godfrey\": {\"lm\": " + JsonFigure(r.breuschGodfrey) + ", \"p\": "
           + JsonFigure(r.breuschGodfreyP) + ", \"conclusion\": " + JsonString(model::BreuschGodfreyConclusion(r))
           + "},\n"
           "    \"jarque_bera\": {\"skewness\": " + JsonFigure(r.skewness) + ", \"kurtosis\": "
           + JsonFigure(r.kurtosis) + ", \"jb\": " + JsonFigure(r.jarqueBera) + ", \"p\": " + JsonFigure(r.jarqueBeraP)
           + ", \"conclusion\": " + JsonString(model::JarqueBeraConclusion(r)) + "},\n"
           "    \"trend\": {\"a\": " + JsonCoefficient(d.trend.a) + ", \"lambda\": " + JsonCoefficient(d.trend.lambda)
           + ", \"b\": " + JsonCoefficient(d.trend.b) + ", \"r2\": " + JsonFigure(d.trend.r2)
           + ", \"tfp_growth_percent\": " + JsonFigure(d.trend.productivityGrowth) + "},\n"
           "    \"marginal_products\": {\"at_means\": " + JsonMarginal(d.atMeans, false) + ",\n"
           "      \"by_year\": [\n      " + marginal + "]}\n"
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
        json += std::string(i > 0 ? "," : "") + "\n    {\"K\": "
                + JsonString(forecast->table.cell(model::ForecastColumn::kK, row))
                + ", \"L\": " + JsonString(forecast->table.cell(model::ForecastColumn::kL, row))
                + ", \"forecast\": " + JsonNumber(f.y) + ", \"low\": " + JsonFigure(f.interval.low)
                + ", \"high\": " + JsonFigure(f.interval.high) + "}";
    }
    return json + "]";
}

void PrintJson(std::ostream& out, const model::Workbook& book, const std::optional<ForecastRun>& forecast,
               const std::optional<std::string>& error)
{
    out << "{\n"
        << "  \"observations\": " << JsonRows(Written(book.observations)) << ",\n"
        << "  \"calculation\": " << JsonRows(Written(book.calculation)) << ",\n"
        << "  \"fit\": " << JsonRows(Written(book.fit)) << ",\n"
        << "  \"captions\": {\"a\": " << JsonString(book.aCaption)
        << ", \"A\": " << JsonString(book.ACaption) << ", \"b\": " << JsonString(book.bCaption)
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

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> options = ParseArguments(argc, argv);
    if (!options)
        return kUsage;
    if (options->help) {
        std::cout << kUsageText;
        return kComplete;
    }

    model::Workbook book;
    try {
        model::LoadObservations(book, model::ReadObservationFile(options->file));
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return kUsage;
    }

    std::optional<std::string> error;
    try {
        const model::ComputeOutcome outcome = model::ComputeWithStatistics(book, options->separator);
        if (!outcome.complete())
            error = model::ComputationError("Пустая ячейка: вычисление остановлено.", outcome.emptyRow,
                                            outcome.emptyColumn)
                        .what();
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    std::optional<ForecastRun> forecast;
    if (!error && !options->forecasts.empty()) {
        try {
            forecast = RunForecasts(book, options->forecasts, options->separator);
        } catch (const std::exception& failure) {
            error = failure.what();
        }
    }

    if (options->json)
        PrintJson(std::cout, book, forecast, error);
    else
        PrintReport(std::cout, book, options->separator, forecast);
    if (error) {
        std::cerr << *error << '\n';
        return kFailed;
    }
    return kComplete;
}
