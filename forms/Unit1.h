#pragma once

#include "model/workbook.h"
#include "ui_Unit1.h"

#include <QMainWindow>

class QMenu;
class QAction;
class QLineSeries;

// The main window: observations, calculation and fit tables, results, chart
// and the toolbar of commands. It owns all the program's data.
class TForm1 : public QMainWindow, public Ui::TForm1 {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    model::Workbook& workbook() { return m_book; }

    // The estimated coefficients, 0 until "Вычислить" has run.
    double& alfa;
    double& A;

    QMenu* PopupMenu1;
    QAction* N5;
    QAction* N7;
    QLineSeries* Series1;
    QLineSeries* Series2;
    // The menu bar: forecast window, instruction (F1), about box, the method's web page.
    QAction* N10;
    QAction* N11;
    QAction* N12;
    QAction* N13;

    void FormShow();
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
    void N10Click();
    void N11Click();
    void N12Click();

signals:
    // The window was closed: the program ends with it.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setUpWindow();
    void setUpToolbar();
    void setUpTables();
    void setUpChart();
    void setUpMenuBar();
    // Copies the workbook's count text, captions, formula and chart lines into the controls.
    void showWorkbook();
    void showChart();
    // Where the file dialogs start: the program's folder when it may be written, else the documents.
    QString fileDialogFolder() const;

    model::Workbook m_book;
};

extern TForm1* Form1;

// The font of the program's windows.
QFont WindowFont();
