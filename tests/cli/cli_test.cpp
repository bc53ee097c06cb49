// Runs the built cobb-douglas-cli as a user would and checks its output and
// exit status.

#include "tests/case_name.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// A path in the temporary folder that no other test process uses.
fs::path TempPath(const std::string& name)
{
    return fs::path(testing::TempDir()) / ("cli_" + std::to_string(getpid()) + "_" + name);
}

// Runs the program with `arguments` under the variables in `environment`.
Outcome RunCli(const std::string& environment, const std::string& arguments)
{
    const fs::path errPath = TempPath("stderr.txt");
    const std::string command = environment + " " + COBB_CLI + " " + arguments + " 2>" + errPath.string();
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errPath);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    err.close();
    fs::remove(errPath);
    return run;
}

const std::string kExample = std::string(COBB_EXAMPLES_DIR) + "/cobb-douglas-1928.txt";

struct CliCase {
    std::string name;
    std::string environment;
    std::string options;
    // The file given last: the shipped example unless a text or a path is set.
    std::optional<std::string> fileText;
    std::optional<std::string> path;
    int status;
    std::vector<std::string> inOut;
    std::vector<std::string> inErr;
};

class CliTest : public testing::TestWithParam<CliCase> {};

TEST_P(CliTest, PrintsAndExitsAsExpected)
{
    const CliCase& c = GetParam();
    std::string file = c.path.value_or(kExample);
    if (c.fileText) {
        file = TempPath("observations.txt").string();
        std::ofstream(file, std::ios::binary) << *c.fileText;
    }
    const Outcome run = RunCli(c.environment, c.options + " " + file);
    if (c.fileText)
        fs::remove(file);

    EXPECT_EQ(run.status, c.status) << run.err;
    for (const std::string& piece : c.inOut)
        EXPECT_NE(run.out.find(piece), std::string::npos) << piece << "\nnot in\n" << run.out;
    for (const std::string& piece : c.inErr)
        EXPECT_NE(run.err.find(piece), std::string::npos) << piece << "\nnot in\n" << run.err;
    if (c.status == 0) {
        EXPECT_EQ(run.err, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliTest,
    testing::Values(
        CliCase{
            "JsonOfTheExample",
            "",
            "--json --separator ,",
            {},
            {},
            0,
            {R"j("observations": [
    ["1", "100", "100", "100"],)j",
             R"j(["24", "240", "431", "161"])j",
             R"j(["1", "0,000000", "0,000000", "0,000000", "0,000000", "0,014545", "-0,014545", "0,000000", "—"])j",
             R"j(["Sum", "9,450256", "2,750702", "1,570108", "5,637417", "2,750703", "-9,99999999973245E-7", "0,510672", "1283,826080"]
  ],)j",
             R"j(["24", "240", "209,808"])j",
             R"j("captions": {"a": "a=0,254133", "A": "A=1,014651", "b": "b=0,0145", "mean_error": "Aср=55,819 %", "r2": "R2= 94,171 %"})j",
             R"j("formula": "Y=1,014651*(K^0,254133)*(L^0,745867)")j", R"j("alfa": 0.254133)j",
             R"j("A": 1.01465)j", R"j("error": null)j"},
            {}},
        CliCase{"ReportOfTheExample",
                "",
                "--separator ,",
                {},
                {},
                0,
                {"Год         X          Z        X*Z", "Sum  9,450256   2,750702",
                 "a=0,254133\nA=1,014651\nb=0,0145\n", "Y=1,014651*(K^0,254133)*(L^0,745867)", "Aср=55,819 %",
                 " 24              240             209,808\n", "R2= 94,171 %"},
                {}},
        // Without --separator the locale's decimal point is used.
        CliCase{"SeparatorOfTheCLocale",
                "LC_ALL=C",
                "--json",
                {},
                {},
                0,
                {R"j("a": "a=0.254133")j", R"j(["2", "0.018868", "-0.038840")j"},
                {}},
        // The tables keep what was written before the failure.
        CliCase{"ZeroLabour",
                "",
                "--json --separator ,",
                "1:1:1\r\n3,5:2:0\r\n",
                {},
                1,
                {R"j(["2", "3,5", "2", "0"])j", R"j("fit": [],)j", R"j("a": "a=")j",
                 R"j("error": "Floating point division by zero\u000aСтрока 2, столбец «Труд (L)».")j"},
                {"Floating point division by zero\nСтрока 2, столбец «Труд (L)»."}},
        CliCase{"QuoteAndControlCharacterEscaped",
                "",
                "--json --separator ,",
                "1:1:1\n2\"\x01\\:2:1\n",
                {},
                1,
                {R"j(["2", "2\"\u0001\\", "2", "1"])j",
                 // The message shows the control character, where a NUL would cut it.
                 R"j("error": "'2\"\\x01\\' is not a valid floating point value\u000aСтрока 2)j"},
                {}},
        CliCase{"EmptyCellIsAFailure",
                "",
                "--separator ,",
                "1:1:1\n3,5:2\n",
                {},
                1,
                {},
                {"Строка 2, столбец «Труд (L)»."}},
        CliCase{"StatisticsOfTheExample",
                "",
                "--json --separator ,",
                {},
                {},
                0,
                {"\"statistics\": {\n    \"n\": 24,\n    \"a\": {\"estimate\": 0.2541331",
                 "\"standard_error\": 0.04122", "\"r2\": 0.63336", "\"alpha\": {\"estimate\": 0.23305",
                 "\"constant_returns\": {\"f\": 0.19558", "\"p\": 0.66283",
                 "\"conclusion\": \"гипотеза α + β = 1 не отвергается: отдача от масштаба постоянная\"",
                 "\"mean_relative_error\": 4.2878"},
                {}},
        CliCase{"StatisticsSectionOfTheReport",
                "",
                "--separator ,",
                {},
                {},
                0,
                {"R2= 94,171 %\n\nСтатистика\nРегрессия Z = b + a·X\nЧисло наблюдений  ",
                 "    95 % доверительный интервал a             [0,168641; 0,339626]\n",
                 "Проверка α + β = 1, F(1; 21)                  0,1956\n"},
                {}},
        // Solow's series, whose residuals fail all three tests.
        CliCase{"DiagnosticsOfSolowsSeries",
                "",
                "--json --separator ,",
                {},
                std::string(COBB_EXAMPLES_DIR) + "/solow-1957.txt",
                0,
                {"\"diagnostics\": {\n    \"levels_fit\": {\"converged\": true, \"failure\": null, "
                 "\"iterations\": 9, "
                 "\"a\": {\"estimate\": 0.62814",
                 "\n    \"residuals\": [{\"year\": \"1\", \"residual\": -0.14944",
                 "\"breusch_godfrey\": {\"lm\": 38.4316",
                 "\"conclusion\": \"гипотеза о нормальности остатков отвергается\"",
                 "\"lambda\": {\"estimate\": 0.0185537", "\"tfp_growth_percent\": 1.87269",
                 "\"at_means\": {\"fitted\": 0.88978236", "{\"year\": \"41\", \"fitted\": 0.90933539",
                 "\"r2\": 0.14325", "\"start_rss\": 1.427176"},
                {}},
        CliCase{"DiagnosticsSectionOfTheReport",
                "",
                "--separator ,",
                {},
                {},
                0,
                {"\nДиагностика\nМНК в уровнях: Y = A·K^a·L^(1−a), метод Левенберга–Марквардта\n"
                 "Итерации от оценок в логарифмах                                сошлись, итераций: 5\n",
                 "Сумма квадратов остатков Σ(Y − Ŷ)² (в уровнях)                 2564,648514\n",
                 "\nОстатки регрессии Z = b + a·X\nСтатистика Дарбина–Уотсона DW  ", "  0,1171\n",
                 "Рост производительности факторов в год, e^λ − 1                0,620 %\n",
                 "    24                                                         Ŷ = 209,808492; MPK = "
                 "0,123711; MPL = 0,971983\n"},
                {}},
        // What two observations cannot give is null, the verdict says why.
        CliCase{"StatisticsOfTwoObservations",
                "",
                "--json --separator ,",
                "2:1:1\n3,5:2:1\n",
                {},
                0,
                {"\"standard_error\": null, \"t\": null, \"p\": null, \"ci95\": [null, null]",
                 "\"alpha\": {\"estimate\": null, \"standard_error\": null}",
                 "\"conclusion\": \"недостаточно наблюдений\"",
                 "\"levels_fit\": {\"converged\": false, \"failure\": \"недостаточно наблюдений: нужно не "
                 "меньше трёх\", "
                 "\"iterations\": 0, \"a\": {\"estimate\": null, \"standard_error\": null}"},
                {}},
        CliCase{"NoStatisticsAfterAnEmptyCell",
                "",
                "--json --separator ,",
                "1:1:1\n3,5:2\n",
                {},
                1,
                {"\"statistics\": null,", "\"diagnostics\": null,"},
                {}},
        // R 4.2.2: exp(predict(lm(z ~ x), data.frame(x = log(k / l)), interval = "prediction")) * l gives
        // 220,904335 in [193,866675; 251,712808] and, for Solow's 3,5:1, 1,132415 in [0,739420; 1,734282].
        CliCase{"ForecastsWithTheirIntervals",
                "",
                "--separator , --forecast 450:170 --forecast 200:130",
                {},
                {},
                0,
                {"\nПрогноз\nГод  ОПФ(К)  Численость (L)  Прогноз (Y)    95 % интервал прогноза\n"
                 "  1     450             170   220,904191  [193,866518; 251,712683]\n"
                 "  2     200             130   147,165178  [130,415656; 166,065872]\n"},
                {}},
        CliCase{"ForecastsInJson",
                "",
                "--json --separator , --forecast 3,5:1",
                {},
                std::string(COBB_EXAMPLES_DIR) + "/solow-1957.txt",
                0,
                {"\"forecasts\": [\n    {\"K\": \"3,5\", \"L\": \"1\", \"forecast\": 1.13241",
                 "\"low\": 0.73942", "\"high\": 1.73428"},
                {}},
        CliCase{"ForecastOfABadNumber",
                "",
                "--json --separator , --forecast 1:x",
                {},
                {},
                1,
                {"\"forecasts\": null,"},
                {"Строка 1, столбец «Численость (L)»."}},
        CliCase{"ForecastWithoutLabour", "", "--forecast 450", {}, {}, 2, {}, {"--forecast ждёт K:L."}},
        CliCase{"MissingFile", "", "--json", {}, "nowhere/missing.txt", 2, {}, {"File not found"}},
        CliCase{"StandardInput",
                "",
                "--json --separator ,",
                {},
                "- < " + kExample,
                0,
                {R"j(["24", "240", "431", "161"])j", R"j("a": "a=0,254133")j"},
                {}},
        CliCase{"LinesEndedByCrAlone",
                "",
                "--json --separator ,",
                "1520,5:310:42\r1600:320:43\r1700:330:44\r",
                {},
                0,
                {R"j(["1", "1520,5", "310", "42"])j", R"j(["3", "1700", "330", "44"])j"},
                {}},
        CliCase{"Utf16LittleEndian",
                "",
                "--json --separator ,",
                std::string("\xFF\xFE"
                            "1\0:\0"
                            "2\0:\0"
                            "3\0\r\0\n\0"
                            "4\0:\0"
                            "5\0:\0"
                            "7\0",
                            26),
                {},
                0,
                {R"j(["1", "1", "2", "3"])j", R"j(["2", "4", "5", "7"])j"},
                {}},
        CliCase{"AFolder",
                "",
                "--json",
                {},
                "/",
                2,
                {},
                {"I/O error 21\nНе удалось прочитать файл «/»: это папка, а не файл."}},
        CliCase{"ADevice",
                "timeout 10",
                "--json",
                {},
                "/dev/zero",
                2,
                {},
                {": это устройство, а не обычный файл."}},
        CliCase{"NoFile", "", "--json", {}, "", 2, {}, {"FILE"}},
        CliCase{"LongSeparator", "", "--separator ,,", {}, {}, 2, {}, {"--separator"}},
        CliCase{"UnknownOption", "", "--xml", {}, {}, 2, {}, {"--xml"}}),
    CaseName());

// A FIFO nobody writes to is refused at once; opening it would wait for ever.
TEST(Cli, RefusesAFifoWithoutWaiting)
{
    const fs::path fifo = TempPath("fifo.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const Outcome run = RunCli("timeout 10", fifo.string());
    fs::remove(fifo);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "File access denied\nНе удалось прочитать файл «" + fifo.string()
                           + "»: это именованный канал (FIFO), а не обычный файл.\n");
}

// Columns are padded to at most 24 characters: a cell of 100 000 characters
// is printed once, whole, instead of widening every row to its width.
TEST(Cli, ReportIsAboutAsLongAsItsInput)
{
    const std::string longCell = std::string(100000, '0') + "5";
    const std::string text = "1:1:1\n" + longCell + ":2:1\n3:4:2\n";
    const fs::path file = TempPath("long.txt");
    std::ofstream(file, std::ios::binary) << text;
    const Outcome run = RunCli("", "--separator , " + file.string());
    fs::remove(file);

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_LT(run.out.size(), text.size() + 10000);
    std::size_t longLines = 0;
    for (std::size_t start = 0, end; start < run.out.size(); start = end + 1) {
        end = run.out.find('\n', start);
        const std::string line = run.out.substr(start, end - start);
        if (line.size() > 300) {
            ++longLines;
            EXPECT_NE(line.find(longCell), std::string::npos);
        }
    }
    EXPECT_EQ(longLines, 1u);
}

}  // namespace
