#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The about box naming the program's purpose.
class TAboutBox1 : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox1(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* Label14;
    QPushButton* OKButton;

    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TAboutBox1* AboutBox1;
