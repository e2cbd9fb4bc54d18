#include "editor/qt_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include "framework/document.h"

std::optional<std::string> AskSaveAsFileName(QWidget* parent, const CDocument& doc) {
    QFileDialog dialog(parent, QObject::tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({"Lumo Files (*.lm)", "All Files (*.*)"});
    dialog.setDefaultSuffix("lm");
    const QString path = QString::fromStdString(doc.GetPathName());
    if (!path.isEmpty()) {
        dialog.setDirectory(QFileInfo(path).absolutePath());
        dialog.selectFile(QFileInfo(path).fileName());
    } else {
        dialog.selectFile(QString::fromStdString(doc.GetTitle()) + ".lm");
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

CMessageBoxes::CMessageBoxes(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    m_previous = SetMessageHandler([owner](MessageIcon icon, const std::string& text) {
        QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Critical,
                        "Lumo", QString::fromStdString(text), QMessageBox::Ok,
                        owner ? owner->window() : nullptr);
        box.exec();
    });
}

CMessageBoxes::~CMessageBoxes() {
    SetMessageHandler(m_previous);
}
