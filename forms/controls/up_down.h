#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons attached to a text field: each step reads the
// field's number (when it is one), moves it by one within the range and
// writes the new number into the field. The Up and Down keys in the field
// step it too.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void setOrientation(Qt::Orientation orientation);
    void setRange(int minimum, int maximum);
    void setAssociate(QLineEdit* field);

    int position() const { return m_position; }
    void setPosition(int position);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

    void step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();

    QToolButton* m_up;
    QToolButton* m_down;
    QLineEdit* m_field = nullptr;
    Qt::Orientation m_orientation = Qt::Vertical;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};
