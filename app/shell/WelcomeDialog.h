#pragma once
// The welcome dialog shown once, on the first start ("FirstRun" 1): what the program does
// and where to begin. Modal.
#include <QDialog>

class WelcomeDialog : public QDialog {
    Q_OBJECT
public:
    explicit WelcomeDialog(QWidget* parent = nullptr);
};
