#include "editor/edge_properties_dlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/qt_dialogs.h"
#include "model/edge.h"
#include "model/edge_fields.h"
#include "model/grammar.h"

CEdgePropertiesDlg::CEdgePropertiesDlg(QWidget* parent, CPoint point, CGrammer* doc, bool existing)
    : QDialog(parent), m_point(point), m_pDoc(doc), m_bExisting(existing) {
    setWindowTitle(QStringLiteral("Edge Properties ..."));

    auto* frame = new QGroupBox(this);
    m_input = new QLineEdit(frame);
    m_input->setObjectName(QStringLiteral("input"));
    m_action = new QLineEdit(frame);
    m_action->setObjectName(QStringLiteral("action"));
    m_graph = new QRadioButton(QStringLiteral("Graph"), frame);
    m_graph->setObjectName(QStringLiteral("graph"));
    m_token = new QRadioButton(QStringLiteral("Token"), frame);
    m_token->setObjectName(QStringLiteral("token"));
    // Tab runs through the buttons and the two boxes only; the type is
    // chosen with the mouse, and a clicked radio button may then take the
    // arrow keys.
    m_graph->setFocusPolicy(Qt::ClickFocus);
    m_token->setFocusPolicy(Qt::ClickFocus);
    m_type = new QButtonGroup(this);
    m_type->addButton(m_graph, kGraph);
    m_type->addButton(m_token, kToken);

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(m_graph);
    typeRow->addWidget(m_token);
    typeRow->addStretch();
    auto* fields = new QGridLayout(frame);
    fields->addWidget(new QLabel(QStringLiteral("Input"), frame), 0, 0);
    fields->addWidget(m_input, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Action"), frame), 1, 0);
    fields->addWidget(m_action, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Edge Type :"), frame), 2, 0);
    fields->addLayout(typeRow, 2, 1);
    // Room for a usual action call; longer texts scroll, as nothing limits them.
    fields->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 36);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setAutoDefault(true);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CEdgePropertiesDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CEdgePropertiesDlg::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addWidget(frame, 1);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_input);
    setTabOrder(m_input, m_action);
    m_ok->setFocus();

    OnInitDialog();
}

void CEdgePropertiesDlg::OnInitDialog() {
    const CEdge* edge = m_bExisting ? m_pDoc->FindEdge(m_point) : nullptr;
    if (edge != nullptr) {
        m_strInput = edge->GetInput();
        m_strAction = edge->GetAction();
        m_nEdgeType = edge->IsGraph() ? kGraph : kToken;
    } else {
        m_strInput.clear();
        m_strAction.clear();
        m_nEdgeType = m_bExisting ? 0 : kToken;
    }
    m_input->setText(DisplayString(m_strInput));
    m_action->setText(DisplayString(m_strAction));
    // A field left as it was keeps its bytes, whatever their encoding.
    m_shownInput = m_input->text();
    m_shownAction = m_action->text();
    m_storedInput = m_strInput;
    m_storedAction = m_strAction;
    // An exclusive group refuses to uncheck its checked button, and the
    // missing edge must show no type at all.
    m_type->setExclusive(false);
    m_graph->setChecked(m_nEdgeType == kGraph);
    m_token->setChecked(m_nEdgeType == kToken);
    m_type->setExclusive(true);
}

void CEdgePropertiesDlg::OnOK() {
    const int checked = m_type->checkedId();
    m_nEdgeType = checked == kGraph || checked == kToken ? checked : 0;
    m_strInput = m_input->text() == m_shownInput ? m_storedInput : StoredString(m_input->text());
    m_strAction =
        m_action->text() == m_shownAction ? m_storedAction : StoredString(m_action->text());
    if (!NormalizeEdgeFields(m_strInput, m_strAction, m_nEdgeType == kGraph)) {
        QApplication::beep();
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"),
                        QStringLiteral("Input string can not be null !"), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    m_pDoc->GetHistory().AddEdge(m_point, m_strInput, m_strAction, m_nEdgeType == kGraph,
                                 m_bExisting);
    QDialog::accept();
}
