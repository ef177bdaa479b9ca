#pragma once

#include <QMainWindow>

// The main window: the client of one table.
class Tchat : public QMainWindow {
    Q_OBJECT
public:
    explicit Tchat(QWidget *parent = nullptr);
};
