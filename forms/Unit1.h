#pragma once

#include "model/workbook.h"
#include "ui_Unit1.h"

#include <QMainWindow>

#include <functional>
#include <string>

class QMenu;
class QAction;
class QLineSeries;
class WorkbookHistory;

// The main window: observations, calculation and fit tables, results, chart
// and the toolbar of commands. It owns all the program's data.
class TForm1 : public QMainWindow, public Ui::TForm1 {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    model::Workbook& workbook() { return m_book; }

    // Asked by "Сохранить отчёт…" for the forecast window's table (or null),
    // so that the report holds the forecasts too.
    using ForecastSource = std::function<const model::Table*()>;
    void setForecastSource(ForecastSource source) { m_forecast = std::move(source); }

    // The estimated coefficients, 0 until "Вычислить" has run.
    double& alfa;
    double& A;

    QMenu* PopupMenu1;
    QAction* N5;
    QAction* N7;
    QLineSeries* Series1;
    QLineSeries* Series2;

    // The "Статистика" page, the chart's context menu and the "Файл" menu.
    QWidget* TabSheet3;
    StringGrid* StringGrid4;
    // The "Остатки" page: residuals by year about the zero line.
    QWidget* TabSheet4;
    QChartView* Chart2;
    QLineSeries* Series3;
    QLineSeries* Series4;
    QMenu* PopupMenu2;
    QAction* N14;            // "Сохранить график…"
    QAction* N15;            // "Сохранить отчёт…"
    QMenu* RecentFilesMenu;  // "Недавние файлы", the observation files used last

    // The menu bar: forecast window, instruction (F1), about box, the method page.
    QAction* N10;
    QAction* N11;
    QAction* N12;
    QAction* N13;
    // "Правка": undo (Ctrl+Z) and redo (Ctrl+Shift+Z) of the observations.
    QAction* N20;
    QAction* N21;

    void FormShow();
    // Sizes the window to its client area and menu bar, or to `available` (less the
    // window's frame) when that is smaller: then the client area scrolls.
    void fitInto(const QRect& available);
    void LabeledEdit1Change(const QString& text);
    void LabeledEdit1KeyPress(char32_t& key);
    void StringGrid1KeyPress(char32_t& key);
    void SpeedButton2Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void N5Click();
    void N7Click();
    void N14Click();
    void N15Click();
    // "Окрыть" once the file is chosen; also a file named on the command line.
    void loadObservationFile(const QString& path);
    void StringGrid1Paste(const std::string& text, int column, int row);
    void StringGrid1SetEditText(int column, int row, const std::string& text);
    void N10Click();
    void N11Click();
    void N12Click();

signals:
    // The window was closed: the program ends with it.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // An observation file dropped onto the window loads as "Окрыть" loads it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setUpWindow();
    void setUpToolbar();
    void setUpTables();
    void setUpChart();
    void setUpMenuBar();
    // Copies the workbook's count text, captions, formula and chart lines into the controls.
    void showWorkbook();
    void showChart();

    void setUpStatisticsPage();
    void setUpExports();
    // The desktop's New, Open and Save keys (Ctrl+N, Ctrl+O, Ctrl+S) and F9 for
    // "Новая ", "Окрыть", "Сохранить" and "Вычислить".
    void setUpShortcuts();
    void showStatistics();
    void setUpResidualPage();
    void showResiduals();
    // "Недавние файлы": a file that has gone is dropped from the list and reported as "Окрыть" reports it.
    void openRecentFile(const QString& path);
    void showRecentFiles();

    model::Workbook m_book;
    ForecastSource m_forecast;
    WorkbookHistory* m_history;
    // What the statistics page shows: the lines of m_book.statistics.
    model::Table m_statisticsTable{model::StatisticsColumn::kCount};
};

extern TForm1* Form1;
