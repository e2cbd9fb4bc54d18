#include "app/quick_help_dlg.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStringList>
#include <QTextLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// The help indents with tabs and lines up text after "Step 1-", "Note :" and
// the like on tab stops. QLabel draws a tab as a plain space, so this label
// lays out its own plain text, with tab stops and word wrap; text() and the
// rest of QLabel stay as they are.
class CTabStopLabel : public QLabel {
public:
    CTabStopLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
    }

    void SetTabStopDistance(qreal distance) {
        m_tabStop = distance;
        updateGeometry();
    }
    // The width the layout offers first; a text whose lines are wider wraps.
    void SetPreferredTextWidth(int width) {
        m_textWidth = width;
        updateGeometry();
    }
    // The widest line, broken only where the text breaks it.
    qreal NaturalWidth() const {
        QTextLayout layout;
        Layout(layout, QWIDGETSIZE_MAX);
        qreal width = 0;
        for (int i = 0; i < layout.lineCount(); ++i) {
            width = std::max(width, layout.lineAt(i).naturalTextWidth());
        }
        return width;
    }

    QSize sizeHint() const override {
        const QMargins m = contentsMargins();
        const int width =
            (m_textWidth > 0 ? m_textWidth : static_cast<int>(std::ceil(NaturalWidth()))) +
            m.left() + m.right();
        return {width, heightForWidth(width)};
    }
    // Narrower, the help would wrap in places its tabs were not laid out for.
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const QMargins m = contentsMargins();
        QTextLayout layout;
        const qreal height = Layout(layout, width - m.left() - m.right());
        return static_cast<int>(std::ceil(height)) + m.top() + m.bottom();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const QRect area = contentsRect();
        QTextLayout layout;
        Layout(layout, area.width());
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        layout.draw(&painter, area.topLeft());
    }

private:
    // Lays the text out in lines of the given width; returns its height.
    qreal Layout(QTextLayout& layout, qreal width) const {
        QString text = this->text();
        // QTextLayout breaks lines at the Unicode separator, not at '\n'.
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);
        layout.setText(text);
        layout.setFont(font());
        QTextOption option(Qt::AlignLeft);
        option.setWrapMode(QTextOption::WordWrap);
        option.setTabStopDistance(m_tabStop);
        layout.setTextOption(option);
        qreal y = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max<qreal>(width, 1));
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
        return y;
    }

    qreal m_tabStop = 80;
    int m_textWidth = 0;
};

const char* const kTexts[] = {
    "Creating a graph :",
    "\tYou can not create a graph directly except the MAIN graph. By using a graph as an edge in "
    "other \n\tgraphs the system creates that graph for you automatically, then you can access "
    "this graph by right-\n\tclicking in the client area.",
    "\tAfter that you can fill the graph that the system generated for you :",
    "Step 1-\tDraw graph's nodes by clicking on the client area.\nStep 2-\tPress Edge button in "
    "the toolbar, then for drawing an edge you can drag from source node to des- "
    "\n\ttination node, and at last fill the edge's properties form.",
    "Note :\tOnce a graph is created, you can not delete it, but this won't cause a problem, and "
    "there is no need\n\tfor redrawing.You should simply not use that graph in other graphs.",
    "Generating the parse table :",
    "\tAfter drawing the graphs of your language in Lumo, you can generate the parse table by  "
    "pressing \t\tF5. If your graphs are correct, Lumo will generate the parse table for you - "
    "the .pt file.",
    "Syntax graphs' constraints :",
    "      1-\tEach graph must have at least one final node.\n      2-\tThe graphs must be "
    "unambiguous.\n      3-\tEach node must not have more than one graph output.\n      4-\tFinal "
    "nodes must not have graph output.",
};

// The first tab stop lies past the widest text before a line's first tab, so
// that every such text, "Step 2-" or "Note :", reaches the same column.
qreal TabStopDistance(const QFontMetrics& metrics) {
    qreal distance = 8 * metrics.averageCharWidth();
    for (const char* text : kTexts) {
        for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
            const qsizetype tab = line.indexOf(QLatin1Char('\t'));
            if (tab > 0) {
                distance = std::max<qreal>(
                    distance, metrics.horizontalAdvance(line.left(tab) + QLatin1Char(' ')));
            }
        }
    }
    return distance;
}

}  // namespace

CQuickHelpDlg::CQuickHelpDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quick Help"));

    auto* frame = new QGroupBox(this);
    auto* texts = new QVBoxLayout(frame);
    const qreal tabStop = TabStopDistance(fontMetrics());
    QList<CTabStopLabel*> labels;
    for (const char* text : kTexts) {
        auto* label = new CTabStopLabel(QString::fromUtf8(text), frame);
        label->setObjectName(QStringLiteral("text%1").arg(labels.size() + 1));
        label->SetTabStopDistance(tabStop);
        texts->addWidget(label);
        labels.append(label);
    }
    // The texts that break their own lines set the width, so those lines
    // break there and nowhere else; the others wrap within it.
    qreal width = 0;
    for (const CTabStopLabel* label : labels) {
        if (label->text().contains(QLatin1Char('\n'))) {
            width = std::max(width, label->NaturalWidth());
        }
    }
    for (CTabStopLabel* label : labels) {
        label->SetPreferredTextWidth(static_cast<int>(std::ceil(width)) + 2);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setAutoDefault(true);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* top = new QVBoxLayout(this);
    top->addWidget(frame);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}
