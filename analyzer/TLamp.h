#pragma once

#include <QColor>
#include <QWidget>

// A small round indicator lamp: lit while a capture is waited for and read.
class TLamp : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool on READ On WRITE SetOn)

public:
    explicit TLamp(QWidget *parent = nullptr);

    bool On() const { return lit; }
    void SetOn(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool lit = false;
    QColor onColor{0, 230, 0};
    QColor offColor{0, 70, 0};
};
