// The main window's documents: the question to save, New, Open and Save,
// and the recent-file list.

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include "app/main_frame.h"
#include "editor/lumo_view.h"
#include "editor/qt_dialogs.h"

namespace {

// A path as the File menu shows it: at most 30 characters, the file name
// kept whole.
QString ShortPath(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    if (native.size() <= 30) {
        return native;
    }
    const QString name = QFileInfo(path).fileName();
    return name.size() >= 26 ? name : QStringLiteral("...") + native.right(27);
}

}  // namespace

bool CMainFrame::SaveModified() {
    if (!m_doc.IsModified()) {
        return true;
    }
    const auto answer = QMessageBox::question(
        this, "Lumo", tr("Save changes to %1?").arg(DisplayString(m_doc.GetTitle())),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::Escape) {
        return false;
    }
    return answer == QMessageBox::No || OnFileSave();
}

void CMainFrame::OnFileNew() {
    if (!SaveModified()) {
        return;
    }
    m_view->CancelGesture();
    m_doc.OnNewDocument();
    DocumentReplaced();
}

void CMainFrame::OnFileOpen() {
    // The file first: cancelling the choice must not cost a question.
    const QString path = QFileDialog::getOpenFileName(this, tr("Open"), QString(),
                                                      "Lumo Files (*.lm);;All Files (*.*)");
    if (!path.isEmpty() && SaveModified()) {
        OpenDocumentFile(path);
    }
}

bool CMainFrame::OpenDocumentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // A file that fails part-way leaves a new document: nothing picked in the
    // old one may be used again.
    m_view->CancelGesture();
    // A file that cannot be opened at all leaves the document as it was; the
    // document itself says so.
    const bool opened = m_doc.OnOpenDocument(absolute.toStdString());
    if (opened) {
        AddToRecentFiles(absolute);
    } else {
        RemoveFromRecentFiles(absolute);
    }
    DocumentReplaced();
    return opened;
}

bool CMainFrame::OnFileSave() {
    return m_doc.DoFileSave();
}

bool CMainFrame::OnFileSaveAs() {
    return m_doc.DoSave(std::string());
}

void CMainFrame::LoadRecentFiles() {
    QSettings settings;
    settings.beginGroup("Recent File List");
    m_recent.clear();
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString path = settings.value(QString("File%1").arg(i)).toString();
        if (!path.isEmpty() && !m_recent.contains(path)) {
            m_recent.append(path);
        }
    }
    UpdateRecentFileMenu();
}

void CMainFrame::SaveRecentFiles() const {
    QSettings settings;
    settings.beginGroup("Recent File List");
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString key = QString("File%1").arg(i);
        if (i <= m_recent.size()) {
            settings.setValue(key, m_recent[i - 1]);
        } else {
            settings.remove(key);
        }
    }
}

void CMainFrame::AddToRecentFiles(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > kMaxRecentFiles) {
        m_recent.removeLast();
    }
    // Kept at once, so a crash or a second window cannot lose it.
    SaveRecentFiles();
    UpdateRecentFileMenu();
}

void CMainFrame::RemoveFromRecentFiles(const QString& path) {
    if (m_recent.removeAll(path) > 0) {
        SaveRecentFiles();
        UpdateRecentFileMenu();
    }
}

void CMainFrame::UpdateRecentFileMenu() {
    for (int i = 0; i < kMaxRecentFiles; ++i) {
        QAction* action = m_actRecent[i];
        if (i < m_recent.size()) {
            action->setText(
                QString("&%1 %2").arg(i + 1).arg(ShortPath(m_recent[i]).replace('&', "&&")));
            action->setData(m_recent[i]);
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
    m_actRecentPlaceholder->setVisible(m_recent.isEmpty());
}
