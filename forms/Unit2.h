#pragma once

#include <QWidget>

class QFrame;
class QPushButton;
class QTextEdit;

// The instruction window: shows the document "о программе.rtf".
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    QTextEdit* RichEdit1;
    QFrame* Panel1;
    QPushButton* BitBtn1;

    void FormShow();
    void FormResize();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

extern TForm2* Form2;
