#include "app/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/lock_keys.h"
#include "app/quick_help_dlg.h"
#include "app/toolbar_icons.h"
#include "editor/lumo_view.h"
#include "editor/qt_dialogs.h"

CMainFrame::CMainFrame() {
    m_view = new CLumoView(&m_doc, this);
    setCentralWidget(m_view);
    setWindowIcon(LumoAppIcon());
    setAcceptDrops(true);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    connect(m_view, &CLumoView::quickHelpRequested, this, &CMainFrame::OnQuickHelp);
    // Every save, Generate's included, names the window and the recent file.
    m_doc.SetSavedHandler([this](CDocument& doc) {
        AddToRecentFiles(QString::fromStdString(doc.GetPathName()));
        UpdateCaption();
    });
    LoadRecentFiles();
    UpdateCaption();
    // Room for a graph or two; the window manager places it.
    const QRect screen = QGuiApplication::primaryScreen() != nullptr
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    resize(std::min(screen.width() * 3 / 4, 1200), std::min(screen.height() * 3 / 4, 800));
}

CMainFrame::~CMainFrame() {
    m_doc.SetSavedHandler({});
    // The canvas refers to the document, which as a member would otherwise go
    // before the window's children.
    delete m_view;
}

QAction* CMainFrame::NewAction(const QString& text, const QString& prompt, const char* icon) {
    auto* action = new QAction(text, this);
    // The prompt's first line goes to the status bar, the second is the tip.
    const QStringList lines = prompt.split('\n');
    action->setStatusTip(lines.value(0));
    if (lines.size() > 1) {
        action->setToolTip(lines.value(1));
    }
    if (icon != nullptr) {
        action->setIcon(LumoToolbarIcon(icon));
    }
    return action;
}

void CMainFrame::CreateActions() {
    m_actNew = NewAction(tr("&New"), tr("Create a new document\nNew"), "new");
    m_actNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(m_actNew, &QAction::triggered, this, &CMainFrame::OnFileNew);
    m_actOpen = NewAction(tr("&Open..."), tr("Open an existing document\nOpen"), "open");
    m_actOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(m_actOpen, &QAction::triggered, this, &CMainFrame::OnFileOpen);
    m_actSave = NewAction(tr("&Save"), tr("Save the active document\nSave"), "save");
    m_actSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(m_actSave, &QAction::triggered, this, &CMainFrame::OnFileSave);
    m_actSaveAs =
        NewAction(tr("Save &As..."), tr("Save the active document with a new name\nSave As"));
    connect(m_actSaveAs, &QAction::triggered, this, &CMainFrame::OnFileSaveAs);
    m_actPrint = NewAction(tr("&Print..."), tr("Print the active document\nPrint"), "print");
    m_actPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(m_actPrint, &QAction::triggered, this, &CMainFrame::OnFilePrint);
    m_actPrintPreview = NewAction(tr("Print Pre&view"), tr("Display full pages\nPrint Preview"));
    connect(m_actPrintPreview, &QAction::triggered, this, &CMainFrame::OnFilePrintPreview);
    m_actPrintSetup = NewAction(tr("P&rint Setup..."),
                                tr("Change the printer and printing options\nPrint Setup"));
    connect(m_actPrintSetup, &QAction::triggered, this, &CMainFrame::OnFilePrintSetup);
    m_actExit = NewAction(tr("E&xit"), tr("Quit the application; prompts to save documents\nExit"));
    connect(m_actExit, &QAction::triggered, this, &QWidget::close);
    m_actToolbar = NewAction(tr("&Toolbar"), tr("Show or hide the toolbar\nToggle ToolBar"));
    m_actToolbar->setCheckable(true);
    m_actStatusBar =
        NewAction(tr("&Status Bar"), tr("Show or hide the status bar\nToggle StatusBar"));
    m_actStatusBar->setCheckable(true);
    m_actAbout =
        NewAction(tr("&About Lumo..."), tr("Display program information, version number\nAbout"));
    connect(m_actAbout, &QAction::triggered, this, &CMainFrame::OnAppAbout);

    QAction* help = m_view->QuickHelpAction();
    help->setStatusTip(tr("Help"));
    help->setToolTip(tr("Quick Help"));
    help->setIcon(LumoToolbarIcon("help"));
    m_view->ToggleModeAction()->setIcon(LumoToolbarIcon("mode"));

    // Keys of commands this program does not have: taken, and doing nothing,
    // rather than reaching the canvas. Undo and redo are the canvas's own.
    const QKeySequence idle[] = {
        QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert),
        QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert),
        QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete),
        QKeySequence(Qt::Key_F6),           QKeySequence(Qt::SHIFT | Qt::Key_F6)};
    for (const QKeySequence& key : idle) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        action->setEnabled(false);
        addAction(action);
    }
}

void CMainFrame::CreateMenus() {
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->addActions({m_actNew, m_actOpen, m_actSave, m_actSaveAs});
    m_fileMenu->addSeparator();
    m_fileMenu->addActions({m_actPrint, m_actPrintPreview, m_actPrintSetup});
    m_fileMenu->addSeparator();
    m_actRecentPlaceholder = m_fileMenu->addAction(tr("Recent File"));
    m_actRecentPlaceholder->setEnabled(false);
    for (int i = 0; i < kMaxRecentFiles; ++i) {
        QAction* recent = m_fileMenu->addAction(QString());
        recent->setStatusTip(tr("Open this document"));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, recent] {
            const QString path = recent->data().toString();
            if (SaveModified()) {
                OpenDocumentFile(path);
            }
        });
        m_actRecent.append(recent);
    }
    m_actRecentSeparator = m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actExit);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addActions({m_actToolbar, m_actStatusBar});
    view->addSeparator();
    view->addAction(m_view->MainGraphAction());

    QMenu* run = menuBar()->addMenu(tr("&Run"));
    run->addAction(m_view->GenerateAction());

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(m_view->QuickHelpAction());
    help->addAction(m_actAbout);
}

void CMainFrame::CreateToolBar() {
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName("toolbar");
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->addActions({m_actNew, m_actOpen, m_actSave});
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_view->QuickHelpAction(), m_view->ToggleModeAction(), m_actPrint});
    m_toolBar->addSeparator();
    // Paste, Copy and Cut have no handler: blank, and always disabled.
    for (const char* name : {"paste", "copy", "cut"}) {
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        QAction* none = m_toolBar->addAction(QIcon(blank), QString());
        none->setObjectName(name);
        none->setEnabled(false);
    }
    m_actToolbar->setChecked(true);
    connect(m_actToolbar, &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, m_actToolbar, [this](bool visible) {
        // Hidden with its window is not hidden by the user.
        if (isVisible() || visible) {
            m_actToolbar->setChecked(visible);
        }
    });
}

void CMainFrame::CreateStatusBar() {
    m_ready = new QLabel(tr("Ready"));
    m_ready->setObjectName("messagePane");
    statusBar()->addWidget(m_ready, 1);
    auto* caps = new QLabel(tr("CAP"));
    auto* num = new QLabel(tr("NUM"));
    auto* scroll = new QLabel(tr("SCRL"));
    for (QLabel* pane : {caps, num, scroll}) {
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        statusBar()->addPermanentWidget(pane);
    }
    m_lockKeys = std::make_unique<CLockKeys>(caps, num, scroll);
    m_actStatusBar->setChecked(true);
    connect(m_actStatusBar, &QAction::toggled, statusBar(), &QWidget::setVisible);
}

void CMainFrame::UpdateCaption() {
    setWindowTitle(DisplayString(m_doc.GetTitle()) + " - Lumo");
}

void CMainFrame::DocumentReplaced() {
    UpdateCaption();
    m_view->Repaint();
}

bool CMainFrame::PrintDocument(QPrinter* printer) {
    if (m_view->PrintTo(printer)) {
        return true;
    }
    QMessageBox box(QMessageBox::Critical, "Lumo", tr("Could not start print job."),
                    QMessageBox::Ok, isVisible() ? this : nullptr);
    box.exec();
    return false;
}

void CMainFrame::OnFilePrint() {
    QPrintDialog dialog(&m_printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        PrintDocument(&m_printer);
    }
}

void CMainFrame::OnFilePrintPreview() {
    QSettings settings;
    QPrintPreviewDialog preview(&m_printer, this);
    auto* pages = preview.findChild<QPrintPreviewWidget*>();
    if (pages != nullptr && settings.value("Settings/PreviewPages", 1).toInt() == 2) {
        pages->setViewMode(QPrintPreviewWidget::FacingPagesView);
    }
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { m_view->PrintTo(printer); });
    preview.exec();
    if (pages != nullptr) {
        settings.setValue("Settings/PreviewPages",
                          pages->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1);
    }
}

void CMainFrame::OnFilePrintSetup() {
    // The print dialog in a setup role: the printer as well as paper and
    // orientation, kept in m_printer for the next Print and Print Preview.
    // Nothing is printed, so what belongs to one job stays out.
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(tr("Print Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.exec();
}

void CMainFrame::OnAppAbout() {
    CAboutDlg about(this);
    about.DoModal();
}

void CMainFrame::OnQuickHelp() {
    CQuickHelpDlg help(this);
    help.exec();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // An empty tip would reveal "Ready" beneath it; a highlighted menu
        // item without a prompt leaves the pane empty instead.
        const auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const bool promptless = static_cast<QStatusTipEvent*>(event)->tip().isEmpty() &&
                                menu != nullptr && menu->activeAction() != nullptr;
        m_ready->setText(promptless ? QString() : tr("Ready"));
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (SaveModified()) {
        SaveRecentFiles();
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    // One after the other, as File Open would: the last one stays open.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) {
            continue;
        }
        if (!SaveModified()) {
            break;
        }
        OpenDocumentFile(url.toLocalFile());
    }
    event->acceptProposedAction();
}
