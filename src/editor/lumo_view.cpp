#include "editor/lumo_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <utility>

#include "editor/qt_dialogs.h"
#include "model/grammar.h"

namespace {

bool IsOneOf(QRgb pixel, std::initializer_list<CColor> colours) {
    for (const CColor c : colours) {
        if (qRed(pixel) == c.r && qGreen(pixel) == c.g && qBlue(pixel) == c.b) {
            return true;
        }
    }
    return false;
}

}  // namespace

CLumoView::CLumoView(CGrammer* doc, QWidget* parent) : QAbstractScrollArea(parent), m_pDoc(doc) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(kLineStep);
    verticalScrollBar()->setSingleStep(kLineStep);
    horizontalScrollBar()->setPageStep(kPageStep);
    verticalScrollBar()->setPageStep(kPageStep);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_actToggleMode = new QAction(tr("Toggle drawing mode"), this);
    m_actToggleMode->setCheckable(true);
    m_actToggleMode->setToolTip(tr("Toggle drawing mode"));
    m_actToggleMode->setStatusTip(tr("Toggle between drawing edges and drawing nodes"));
    connect(m_actToggleMode, &QAction::triggered, this, &CLumoView::OnToggleMode);

    m_actGenerate = new QAction(tr("&Generate"), this);
    m_actGenerate->setShortcut(Qt::Key_F5);
    connect(m_actGenerate, &QAction::triggered, this, &CLumoView::OnGenerate);

    m_actQuickHelp = new QAction(tr("&Quick Help..."), this);
    connect(m_actQuickHelp, &QAction::triggered, this, &CLumoView::OnQuickHelp);

    m_actMainGraph = new QAction(tr("&Main Graph"), this);
    connect(m_actMainGraph, &QAction::triggered, this, [this] { OnSelectGraph(kFirstGraphId); });

    m_actUndo = new QAction(tr("&Undo"), this);
    m_actUndo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    m_actUndo->setStatusTip(tr("Undo the last action"));
    connect(m_actUndo, &QAction::triggered, this, &CLumoView::OnEditUndo);
    m_actRedo = new QAction(tr("&Redo"), this);
    m_actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_actRedo->setStatusTip(tr("Redo the previously undone action"));
    connect(m_actRedo, &QAction::triggered, this, &CLumoView::OnEditRedo);

    // The keys work wherever the focus is in the window.
    for (QAction* action : {m_actGenerate, m_actUndo, m_actRedo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    // Generate asks for a file name when the document has none, and reports
    // through message boxes over this window.
    m_pDoc->SetSaveAsPrompt([this](CDocument& d) { return AskSaveAsFileName(this, d); });
    m_messages = std::make_unique<CMessageBoxes>(this);
    UpdateCursor();
    UpdateScrollBars();
}

CLumoView::~CLumoView() {
    m_pDoc->SetSaveAsPrompt({});
}

CPoint CLumoView::Scroll() const {
    return CPoint{horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

CPoint CLumoView::ToDocument(QPoint client) const {
    const CPoint s = Scroll();
    return CPoint{client.x() + s.x, client.y() + s.y};
}

QColor CLumoView::CanvasColor() const {
    const QColor base = palette().color(QPalette::Base);
    const QRgb rgb = base.rgb();
    if (IsOneOf(rgb, {Colors::Black, Colors::Yellow, Colors::Red, Colors::Blue, Colors::Cyan})) {
        return Qt::white;
    }
    return base;
}

void CLumoView::UpdateScrollBars() {
    const QSize size = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, kCanvasSize - size.width()));
    verticalScrollBar()->setRange(0, std::max(0, kCanvasSize - size.height()));
}

void CLumoView::UpdateCursor() {
    viewport()->setCursor(m_bEdgeMode ? Qt::ArrowCursor : Qt::CrossCursor);
}

void CLumoView::EnsureImage() {
    const qreal dpr = viewport()->devicePixelRatioF();
    const QSize size = viewport()->size();
    if (m_imageValid && m_image.size() == size * dpr && m_image.devicePixelRatio() == dpr) {
        return;
    }
    m_image = QImage(size * dpr, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(dpr);
    m_image.fill(CanvasColor());
    const CPoint s = Scroll();
    QPainter painter(&m_image);
    painter.translate(-s.x, -s.y);
    CQtSurface dc(&painter, CRect{s.x, s.y, s.x + size.width(), s.y + size.height()}, font(),
                  &m_texts);
    m_pDoc->Draw(&dc);
    painter.end();
    m_imageValid = true;
    m_bCrosshair = false;  // painted over
    ++m_fullRepaints;
}

void CLumoView::DrawOnImage(const std::function<void(CDC&)>& draw, const QRect& area) {
    EnsureImage();
    const CPoint s = Scroll();
    QPainter painter(&m_image);
    painter.translate(-s.x, -s.y);
    const QSize size = viewport()->size();
    CQtSurface dc(&painter, CRect{s.x, s.y, s.x + size.width(), s.y + size.height()}, font(),
                  &m_texts);
    draw(dc);
    painter.end();
    viewport()->repaint(area.translated(-s.x, -s.y).adjusted(-1, -1, 1, 1));
}

void CLumoView::Repaint() {
    m_imageValid = false;
    viewport()->repaint();
}

void CLumoView::paintEvent(QPaintEvent* event) {
    EnsureImage();
    QPainter painter(viewport());
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), m_image);
    if (m_bCrosshair) {
        // Inverted on the screen only: the image, which the hit test reads,
        // never holds the lines.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(m_rcHLine, Qt::white);
        painter.fillRect(m_rcVLine, Qt::white);
    }
}

void CLumoView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    m_imageValid = false;
}

void CLumoView::scrollContentsBy(int, int) {
    m_imageValid = false;
    viewport()->update();
}

CLumoView::PixelClass CLumoView::ClassifyPixel(QPoint client) {
    if (!viewport()->rect().contains(client)) {
        return PixelClass::Other;
    }
    EnsureImage();
    const qreal dpr = m_image.devicePixelRatio();
    const QPoint device(int(client.x() * dpr), int(client.y() * dpr));
    if (!m_image.rect().contains(device)) {
        return PixelClass::Other;
    }
    const QRgb pixel = m_image.pixel(device);
    if (IsOneOf(pixel, {Colors::Black, Colors::Yellow, Colors::Red})) {
        return PixelClass::Node;
    }
    if (IsOneOf(pixel, {Colors::Blue, Colors::Cyan})) {
        return PixelClass::Label;
    }
    if (pixel == CanvasColor().rgb()) {
        return PixelClass::Canvas;
    }
    return PixelClass::Other;
}

void CLumoView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // A gesture still open here lost its release somewhere else.
        CancelGesture();
        OnLButtonDown(event->position().toPoint());
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CLumoView::mouseReleaseEvent(QMouseEvent* event) {
    // The view gets the release wherever the pointer is. Outside the canvas
    // (beyond the window, on a scroll bar) it ends the gesture unchanged.
    if (event->button() == Qt::LeftButton) {
        if (viewport()->rect().contains(event->position().toPoint())) {
            OnLButtonUp(event->position().toPoint());
        } else {
            CancelGesture();
        }
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CLumoView::mouseMoveEvent(QMouseEvent* event) {
    const bool leftHeld = (event->buttons() & Qt::LeftButton) != 0;
    if (!leftHeld) {
        // The button went up where the view could not see it.
        CancelGesture();
    }
    OnMouseMove(event->position().toPoint(), leftHeld);
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CLumoView::CancelGesture() {
    EraseCrosshair();
    m_bNodePicked = false;
    if (CEdge* edge = std::exchange(m_pPickedEdge, nullptr)) {
        edge->CancelLabelDrag();
        Repaint();
    }
}

bool CLumoView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        EraseCrosshair();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CLumoView::EraseCrosshair() {
    if (!m_bCrosshair) {
        return;
    }
    m_bCrosshair = false;
    viewport()->update(m_rcHLine);
    viewport()->update(m_rcVLine);
}

void CLumoView::OnMouseMove(QPoint point, bool leftHeld) {
    EraseCrosshair();
    if (!leftHeld) {
        return;
    }
    const QRect client = viewport()->rect();
    m_bCrosshair = true;
    m_rcHLine = QRect(client.left(), point.y(), client.width(), 1);
    m_rcVLine = QRect(point.x(), client.top(), 1, client.height());
    viewport()->update(m_rcHLine);
    viewport()->update(m_rcVLine);
}

void CLumoView::OnLButtonDown(QPoint point) {
    const CPoint p = ToDocument(point);
    const PixelClass pixel = ClassifyPixel(point);
    if (!m_bEdgeMode) {
        if (pixel == PixelClass::Canvas) {
            EraseCrosshair();
            // Shown at once, without redrawing the rest.
            if (CGraphNode* node = m_pDoc->GetHistory().AddNode(p)) {
                const CPoint c = node->GetCenter();
                DrawOnImage([node](CDC& dc) { node->Draw(&dc); },
                            QRect(c.x - CGraphNode::kRadius, c.y - CGraphNode::kRadius,
                                  2 * CGraphNode::kRadius + 1, 2 * CGraphNode::kRadius + 1));
            }
        } else {
            m_bNodePicked = m_pDoc->FindNode(p) != nullptr;
        }
        return;
    }
    if (pixel == PixelClass::Node) {
        m_bNodePicked = m_pDoc->FindNode(p) != nullptr;
        return;
    }
    m_pPickedEdge = m_pDoc->FindEdge(p);
    if (m_pPickedEdge != nullptr) {
        CEdge* edge = m_pPickedEdge;
        const CRect r = edge->GetLabelRect();
        DrawOnImage([edge](CDC& dc) { edge->HighlightLabel(&dc); },
                    QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
}

void CLumoView::OnLButtonUp(QPoint point) {
    const CPoint p = ToDocument(point);
    EraseCrosshair();
    // The gesture ends here, before anything it leads to (the dialog runs
    // its own event loop) can start another.
    CEdge* edge = std::exchange(m_pPickedEdge, nullptr);
    const bool nodePicked = std::exchange(m_bNodePicked, false);
    if (m_bEdgeMode) {
        if (edge != nullptr) {
            QPainter painter(&m_image);
            CQtSurface dc(&painter, CRect{}, font(), &m_texts);
            m_pDoc->GetHistory().DropLabel(edge, &dc, p);
            painter.end();
            Repaint();
        }
        if (nodePicked && ClassifyPixel(point) == PixelClass::Node) {
            RunEdgeDialog(p, false);
        }
        return;
    }
    if (nodePicked) {
        m_pDoc->GetHistory().MoveSelectedNode(p);
        Repaint();
    }
}
