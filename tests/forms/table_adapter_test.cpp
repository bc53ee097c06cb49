#include "forms/controls/table_adapter.h"
#include "model/table.h"
#include "model/workbook.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QString>
#include <QStringList>

#include <string>

namespace {

// What Qt's model checker reports while installed; nothing else is kept.
class ModelTesterReports {
public:
    ModelTesterReports() { m_previous = qInstallMessageHandler(&ModelTesterReports::collect); }
    ~ModelTesterReports() { qInstallMessageHandler(m_previous); }

    static QStringList& reports()
    {
        static QStringList list;
        return list;
    }

private:
    static void collect(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        if (QByteArrayView(context.category) == "qt.modeltest")
            reports().append(message);
    }

    QtMessageHandler m_previous = nullptr;
};

// The grid follows the table through the adapter: rows inserted and removed
// as the count rises and falls (to no data row and back), cells and headers
// changed, an edit written through.
TEST(TableAdapter, KeepsQtsModelContractWhileTheCountChanges)
{
    using model::ObservationColumn;
    const ModelTesterReports reports;
    model::Table table(ObservationColumn::kCount);
    TableAdapter adapter(table, true);
    const QAbstractItemModelTester tester(&adapter, QAbstractItemModelTester::FailureReportingMode::Warning);

    for (const char* count : {"3", "12", "1", "00", "5", "0", "24"}) {
        SCOPED_TRACE(count);
        model::CountRule(count, {&table});
        EXPECT_EQ(adapter.rowCount(), table.rowCount() - 1);
    }
    table.setCell(ObservationColumn::kY, 24, "5");
    table.setCell(ObservationColumn::kK, 0, "K");
    EXPECT_TRUE(adapter.setData(adapter.index(0, ObservationColumn::kL), "7", Qt::EditRole));
    EXPECT_EQ(table.cell(ObservationColumn::kL, 1), "7");
    EXPECT_TRUE(ModelTesterReports::reports().isEmpty())
        << ModelTesterReports::reports().join('\n').toStdString();
}

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
