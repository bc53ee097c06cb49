#pragma once

#include <QLineEdit>

class QLabel;

// A one-line text field with its caption above it, the caption moving with
// the field.
class LabeledEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString labelText READ labelText WRITE setLabelText)
public:
    explicit LabeledEdit(QWidget* parent = nullptr);

    QString labelText() const;
    void setLabelText(const QString& text);
    QLabel* EditLabel() const { return m_label; }

protected:
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeLabel();

    QLabel* m_label;
};
