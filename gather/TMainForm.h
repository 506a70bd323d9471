#pragma once

#include <QMainWindow>

// The unattended acquisition program's window ("Data Acquisition").
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
};
