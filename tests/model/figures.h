#pragma once

#include "model/estimation.h"
#include "model/observation_file.h"
#include "model/statistics.h"
#include "model/workbook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the tests of the statistics, the diagnostics and the fits beside them share.
namespace model::figures {

// A book after "Вычислить" with its statistics and diagnostics.
inline Workbook Computed(const std::vector<ObservationLine>& lines)
{
    Workbook book;
    LoadObservations(book, lines);
    EXPECT_TRUE(ComputeWithStatistics(book, ',').complete());
    EXPECT_TRUE(book.statistics.has_value());
    EXPECT_TRUE(book.diagnostics.has_value());
    return book;
}

// The shipped example file `name`, computed.
inline Workbook Example(const char* name)
{
    return Computed(ReadObservationFile(std::string(COBB_EXAMPLES_DIR) + "/" + name));
}

struct Expected {
    const char* name;
    const Figure* figure;
    double value;
    double tolerance;
};

inline void ExpectFigures(const std::vector<Expected>& table)
{
    for (const Expected& expected : table) {
        SCOPED_TRACE(expected.name);
        ASSERT_TRUE(expected.figure->known()) << GapText(expected.figure->gap);
        EXPECT_NEAR(expected.figure->value, expected.value, expected.tolerance);
    }
}

// The value of the page line labelled `label`.
inline std::string Value(const std::vector<StatisticsLine>& lines, const std::string& label)
{
    for (const StatisticsLine& line : lines)
        if (line.label == label)
            return line.value;
    ADD_FAILURE() << "no line " << label;
    return {};
}

// What a page line shows when its figure is missing.
inline const std::string kTooFew = "недостаточно наблюдений";
inline const std::string kUndetermined = "не определяется";

// Data whose page lines must say why a figure is missing.
struct GapCase {
    const char* name;
    std::vector<ObservationLine> data;
    // label → expected value text; only these lines are checked.
    std::vector<StatisticsLine> expected;
};

inline void PrintTo(const GapCase& gapCase, std::ostream* out)
{
    *out << gapCase.name;
}

}  // namespace model::figures
