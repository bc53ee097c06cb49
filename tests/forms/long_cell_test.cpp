#include "forms/controls/table_adapter.h"
#include "model/table.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

namespace {

// A grid drew a megabyte cell in full on every paint, which took most of a
// second: the grid shows its start, and editing still gets all of it.
TEST(TableAdapter, ShowsTheStartOfALongCellAndEditsAllOfIt)
{
    struct Case {
        const char* name;
        std::string text;
        QString shown;
    };
    // 'ж' is two bytes: after one ASCII letter, byte 256 is inside a character.
    std::string cyrillic = "x";
    for (int i = 0; i < 200; ++i)
        cyrillic += "ж";
    const Case cases[] = {
        {"short", "1520,5", QStringLiteral("1520,5")},
        {"at the limit", std::string(256, '7'), QString(256, '7')},
        {"megabyte", std::string(1 << 20, '1'), QString(256, '1') + QChar(0x2026)},
        {"whole characters", cyrillic, QStringLiteral("x") + QString(127, QChar(0x0436)) + QChar(0x2026)},
    };
    for (const Case& test : cases) {
        model::Table table(2);
        TableAdapter adapter(table, true);
        table.setCell(1, 1, test.text);
        const QModelIndex cell = adapter.index(0, 1);
        EXPECT_EQ(adapter.data(cell, Qt::DisplayRole).toString(), test.shown) << test.name;
        EXPECT_EQ(adapter.data(cell, Qt::EditRole).toString().toStdString(), test.text) << test.name;
    }
}

}  // namespace
