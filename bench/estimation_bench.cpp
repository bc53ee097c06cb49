#include "model/estimation.h"
#include "model/table.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

// Index-like observations with two decimals, the same for every run.
void FillObservations(model::Workbook& book, int rows)
{
    model::SetCountText(book, std::to_string(rows));
    std::uint32_t state = 12345;
    // A text between low and low + span with two decimals.
    const auto next = [&state](std::uint32_t low, std::uint32_t span) {
        state = state * 1664525u + 1013904223u;
        const std::uint32_t hundredths = low * 100 + (state >> 8) % (span * 100);
        return std::to_string(hundredths / 100) + "," + std::to_string(hundredths % 100 / 10)
               + std::to_string(hundredths % 10);
    };
    for (int row = 1; row <= rows; ++row) {
        book.observations.setCell(model::ObservationColumn::kY, row, next(100, 150));
        book.observations.setCell(model::ObservationColumn::kK, row, next(100, 300));
        book.observations.setCell(model::ObservationColumn::kL, row, next(100, 100));
    }
}

// Repeated runs on the same book, as when "Вычислить" is pressed again.
void BM_ComputeCommand(benchmark::State& state)
{
    model::Workbook book;
    FillObservations(book, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!model::ComputeCommand(book, ',').complete()) {
            state.SkipWithError("the run stopped at an empty cell");
            break;
        }
    }
    state.SetComplexityN(state.range(0));
}
// 24 rows as in the shipped example, 100 as the count spinner's top, and
// the largest count the count field accepts.
BENCHMARK(BM_ComputeCommand)
    ->Arg(24)
    ->Arg(100)
    ->Arg(model::kMaxObservationCount)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

}  // namespace
