#include "editor/qt_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include "framework/document.h"
#include "framework/text.h"

QString DisplayString(const std::string& bytes) {
    const std::string utf8 = DisplayText(bytes);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::string StoredString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

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
        dialog.selectFile(DisplayString(doc.GetTitle()) + ".lm");
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
                        "Lumo", DisplayString(text), QMessageBox::Ok,
                        owner ? owner->window() : nullptr);
        box.exec();
    });
}

CMessageBoxes::~CMessageBoxes() {
    SetMessageHandler(m_previous);
}
