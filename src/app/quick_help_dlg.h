#pragma once

#include <QDialog>

// Help > Quick Help: how to draw graphs, generate the parse table, and the
// rules the graphs must follow. Its nine texts are QLabels named "text1" to
// "text9", top to bottom; the button is "ok".
class CQuickHelpDlg : public QDialog {
public:
    explicit CQuickHelpDlg(QWidget* parent = nullptr);

    int DoModal() { return exec(); }
};
