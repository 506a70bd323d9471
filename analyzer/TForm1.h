#pragma once

#include "device/WSystem.h"

#include <QMainWindow>

#include <memory>

// The analyzer's main window. It owns every long-lived object of the program.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    WSystem &System() { return *wSystem; }

private:
    void UpdateTitle();

    std::unique_ptr<WSystem> wSystem;
};
