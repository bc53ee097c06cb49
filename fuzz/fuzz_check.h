#pragma once

#include "model/table.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// What every fuzz target checks beyond "no crash": a broken property aborts,
// so libFuzzer keeps the input and the corpus replay fails.
namespace fuzz {

inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", property);
        std::abort();
    }
}

// Every cell of the table, header row included, row by row.
inline std::vector<std::string> Snapshot(const model::Table& table)
{
    std::vector<std::string> cells;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column)
            cells.push_back(table.cell(column, row));
    }
    return cells;
}

}  // namespace fuzz
