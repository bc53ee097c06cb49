#pragma once

#include "model/prediction_interval.h"
#include "model/table.h"
#include "model/workbook.h"
#include "ui_Unit4.h"

#include <QWidget>

#include <functional>

// The forecast window: output for planned capital and labour with the
// coefficients last estimated on the main window, and its prediction interval.
class TForm4 : public QWidget, public Ui::TForm4 {
    Q_OBJECT
public:
    // Asked on every "Расчитать" for the coefficients last estimated and
    // what the prediction intervals need of their fit.
    using BasisSource = std::function<model::ForecastBasis()>;

    explicit TForm4(BasisSource basis, QWidget* parent = nullptr);
    ~TForm4() override;

    model::Table& table() { return m_table; }

    void FormShow();
    void LabeledEdit1Change(const QString& text);
    void StringGrid1KeyPress(char32_t& key);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton4Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows a count text the model changed, without running the count rule on it again.
    void showCountText(const std::string& countText);

    BasisSource m_basis;
    model::Table m_table{model::ForecastColumn::kCount};
};

extern TForm4* Form4;
