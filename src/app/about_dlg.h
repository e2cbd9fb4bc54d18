#pragma once

#include <QDialog>

// Help > About: the icon, the name and version, and OK.
class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    int DoModal() { return exec(); }
};
