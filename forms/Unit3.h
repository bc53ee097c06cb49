#pragma once

#include <QDialog>

// The about box naming the program's purpose.
class TAboutBox1 : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox1(QWidget* parent = nullptr);
};

extern TAboutBox1* AboutBox1;
