// cobb-douglas-cli: runs the estimation of "Вычислить" on an observation
// file and prints a report or one JSON object.

#include "cli/text_report.h"
#include "model/estimation.h"
#include "model/observation_file.h"
#include "model/workbook.h"

#include <clocale>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unistd.h>

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
    "                  (можно повторять; числа с тем же разделителем)\n"
    "  FILE            файл наблюдений; «-» — стандартный ввод\n";

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
            const std::string_view planned =
                i + 1 < argc ? std::string_view(argv[i + 1]) : std::string_view();
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
        model::LoadObservations(book, options->file == "-" ? model::ReadObservationStream(STDIN_FILENO, "-")
                                                           : model::ReadObservationFile(options->file));
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
    std::optional<cli::ForecastRun> forecast;
    if (!error && !options->forecasts.empty()) {
        try {
            forecast = cli::RunForecasts(book, options->forecasts, options->separator);
        } catch (const std::exception& failure) {
            error = failure.what();
        }
    }

    if (options->json)
        cli::PrintJson(std::cout, book, forecast, error);
    else
        cli::PrintReport(std::cout, book, options->separator, forecast);
    if (error) {
        std::cerr << *error << '\n';
        return kFailed;
    }
    return kComplete;
}
