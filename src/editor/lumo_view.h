#pragma once

#include <QAbstractScrollArea>
#include <QAction>
#include <QImage>
#include <functional>
#include <memory>

#include "editor/qt_surface.h"
#include "framework/geometry.h"

class CEditHistory;
class CGrammer;
class CMessageBoxes;
class CEdge;
class QPrinter;

// The canvas: a 10,000 x 10,000 scrolling view of the document's current
// graph that turns mouse gestures and commands into edits of the document.
//
// The view paints into an image of the viewport and shows that image. What a
// press, release or right click concerns is decided by the colour of the
// image pixel under the mouse: node colours (black, yellow, red, which edge
// lines share), label colours (blue, cyan) or the canvas colour. The
// crosshair shown during a drag is an overlay and never enters the image.
class CLumoView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kCanvasSize = 10000;
    static constexpr int kPageStep = 1000;
    static constexpr int kLineStep = 100;
    static constexpr int kFirstGraphId = 60000;
    static constexpr int kLastGraphId = 61000;

    enum class PixelClass { Node, Label, Canvas, Other };

    explicit CLumoView(CGrammer* doc, QWidget* parent = nullptr);
    ~CLumoView() override;

    CGrammer* GetDocument() const { return m_pDoc; }
    bool IsEdgeMode() const { return m_bEdgeMode; }
    // The class of what is shown at a viewport point.
    PixelClass ClassifyPixel(QPoint client);
    // The document point under a viewport point.
    CPoint ToDocument(QPoint client) const;
    // The canvas colour: the system's colour for window contents, unless a
    // theme makes it one of the drawing colours.
    QColor CanvasColor() const;

    // The commands the window puts in its menus and toolbar.
    QAction* ToggleModeAction() const { return m_actToggleMode; }
    QAction* GenerateAction() const { return m_actGenerate; }
    QAction* QuickHelpAction() const { return m_actQuickHelp; }
    QAction* MainGraphAction() const { return m_actMainGraph; }
    // Undo and redo, by their keys only: no menu shows them.
    QAction* UndoAction() const { return m_actUndo; }
    QAction* RedoAction() const { return m_actRedo; }

    // Prints the current graph at one unit per printer dot; false when the
    // print job could not start.
    bool PrintTo(QPrinter* printer);
    // Redraws everything now, before returning.
    void Repaint();
    // Ends the gesture in progress, if any, without a change: a picked label
    // gets its colours back, a picked node stays where it is, and nothing
    // the gesture pointed at is used again. Whoever changes the document
    // other than through this view (New, Open, undo) calls it first.
    void CancelGesture();

    // Full repaints so far; node creation and the crosshair do without one.
    int FullRepaintCount() const { return m_fullRepaints; }

public slots:
    void OnToggleMode();
    void OnGenerate();
    void OnQuickHelp();
    void OnSelectGraph(int nID);
    void OnEdgeDelete();
    void OnEdgeProperties();
    void OnNodeDelete();
    void OnNodeFinal();
    void OnEditUndo();
    void OnEditRedo();

signals:
    void modeChanged(bool edgeMode);
    void quickHelpRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void OnLButtonDown(QPoint point);
    void OnLButtonUp(QPoint point);
    void OnMouseMove(QPoint point, bool leftHeld);
    void EraseCrosshair();
    void UpdateScrollBars();
    void UpdateCursor();
    CPoint Scroll() const;
    // Renders the whole viewport into the image if it is out of date.
    void EnsureImage();
    // Draws onto the shown image directly, then shows the area touched.
    void DrawOnImage(const std::function<void(CDC&)>& draw, const QRect& area);
    void RunEdgeDialog(CPoint point, bool existing);
    // Undo or redo one step of the document's history.
    void StepHistory(bool (CEditHistory::*step)());

    CGrammer* m_pDoc;
    bool m_bNodePicked = false;
    bool m_bCrosshair = false;
    bool m_bEdgeMode = false;
    CEdge* m_pPickedEdge = nullptr;
    QPoint m_ptContext;
    QRect m_rcVLine;
    QRect m_rcHLine;

    QImage m_image;
    bool m_imageValid = false;
    CQtTextCache m_texts;
    int m_fullRepaints = 0;

    std::unique_ptr<CMessageBoxes> m_messages;
    QAction* m_actToggleMode;
    QAction* m_actGenerate;
    QAction* m_actQuickHelp;
    QAction* m_actMainGraph;
    QAction* m_actUndo;
    QAction* m_actRedo;
};
