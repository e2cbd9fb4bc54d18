#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPrinter>
#include <QStringList>
#include <memory>

#include "model/grammar.h"

class CLumoView;
class CLockKeys;
class QToolBar;

// The main window: one document, one canvas, the menus, toolbar and status
// bar, the recent-file list, dropped files, and the questions to save that
// come before anything replaces a modified document.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kMaxRecentFiles = 4;

    CMainFrame();
    ~CMainFrame() override;

    CGrammer& GetDocument() { return m_doc; }
    CLumoView* GetView() const { return m_view; }
    QToolBar* GetToolBar() const { return m_toolBar; }
    QAction* ToolbarAction() const { return m_actToolbar; }
    QAction* StatusBarAction() const { return m_actStatusBar; }
    QStringList RecentFiles() const { return m_recent; }

    // Opens path in place of the current document, which the caller has
    // offered to save. On failure the error has been shown; a file that could
    // not be opened at all leaves the document as it was, one that failed
    // part-way leaves a new document.
    bool OpenDocumentFile(const QString& path);
    // Prints the current graph; a job that cannot start is reported.
    bool PrintDocument(QPrinter* printer);
    // "Save changes to NAME?" when the document is modified: false when the
    // user cancels, or chooses to save and the save fails.
    bool SaveModified();
    // Puts the title of the document into the caption.
    void UpdateCaption();

public slots:
    void OnFileNew();
    void OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnQuickHelp();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void AddToRecentFiles(const QString& path);
    void RemoveFromRecentFiles(const QString& path);
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    void UpdateRecentFileMenu();
    void DocumentReplaced();
    QAction* NewAction(const QString& text, const QString& prompt, const char* icon = nullptr);

    CGrammer m_doc;
    CLumoView* m_view;
    QPrinter m_printer;
    QStringList m_recent;

    QToolBar* m_toolBar = nullptr;
    QLabel* m_ready = nullptr;
    std::unique_ptr<CLockKeys> m_lockKeys;

    QAction* m_actNew = nullptr;
    QAction* m_actOpen = nullptr;
    QAction* m_actSave = nullptr;
    QAction* m_actSaveAs = nullptr;
    QAction* m_actPrint = nullptr;
    QAction* m_actPrintPreview = nullptr;
    QAction* m_actPrintSetup = nullptr;
    QAction* m_actRecentPlaceholder = nullptr;
    QList<QAction*> m_actRecent;
    QAction* m_actRecentSeparator = nullptr;
    QAction* m_actExit = nullptr;
    QAction* m_actToolbar = nullptr;
    QAction* m_actStatusBar = nullptr;
    QAction* m_actAbout = nullptr;
    QMenu* m_fileMenu = nullptr;
};
