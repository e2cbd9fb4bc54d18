#pragma once

#include <QDialog>
#include <string>

#include "framework/geometry.h"

class CGrammer;
class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The properties of a new edge, or of the edge whose label holds the clicked
// point. OK writes them to the document; Cancel leaves it alone (though
// opening it on an existing edge has already marked the document modified).
//
// Child object names, for tests and for the view: "input", "action",
// "graph", "token", "ok", "cancel".
class CEdgePropertiesDlg : public QDialog {
public:
    // Button ids of the edge type; 0 when neither is checked.
    static constexpr int kGraph = 1002;
    static constexpr int kToken = 1003;

    // point is in document coordinates: the target node of a new edge, or a
    // point on the label of an existing one.
    CEdgePropertiesDlg(QWidget* parent, CPoint point, CGrammer* doc, bool existing);

    int DoModal() { return exec(); }

    // Fills the controls from the edge at m_point (existing) or with the
    // defaults of a new edge. The constructor has already called it.
    void OnInitDialog();
    // Reads and normalises the controls; refuses an empty input with a
    // message and keeps the dialog open, otherwise edits the document and
    // accepts.
    void OnOK();

    // Every way of accepting, the default button and Enter included, goes
    // through OnOK's checks.
    void accept() override { OnOK(); }

    std::string m_strInput;
    std::string m_strAction;
    int m_nEdgeType = kToken;
    CPoint m_point;
    CGrammer* m_pDoc = nullptr;
    bool m_bExisting = false;

private:
    // What the fields showed when filled, and the bytes behind it.
    QString m_shownInput;
    QString m_shownAction;
    std::string m_storedInput;
    std::string m_storedAction;

    QLineEdit* m_input = nullptr;
    QLineEdit* m_action = nullptr;
    QRadioButton* m_graph = nullptr;
    QRadioButton* m_token = nullptr;
    QButtonGroup* m_type = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
