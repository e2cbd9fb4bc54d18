#include "framework/document.h"

#include <cerrno>
#include <new>

#include "framework/archive.h"
#include "framework/file_io.h"
#include "framework/message.h"

CDocument::~CDocument() = default;

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const std::string& path) {
    std::string data;
    try {
        data = ReadWholeFile(path);
    } catch (const CFileException& e) {
        ReportFileError(e);
        return false;
    }

    if (data.empty()) {
        // What a desktop's "new document" entry creates.
        if (!OnNewDocument()) {
            return false;
        }
        SetPathName(path);
        return true;
    }

    try {
        CArchive ar(data.data(), data.size());
        LoadContents(ar);
    } catch (const CArchiveException&) {
        ReportFormatError(path);
        OnNewDocument();
        return false;
    } catch (const std::bad_alloc&) {
        // What was loaded so far is gone again, and the document untouched.
        ReportFileError(CFileException(ENOMEM, path));
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const std::string& path) {
    std::string data;
    CArchive ar(&data);
    Serialize(ar);
    try {
        WriteFileAtomically(path, data);
    } catch (const CFileException& e) {
        ReportFileError(e);
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    if (m_savedHandler) {
        m_savedHandler(*this);
    }
    return true;
}

bool CDocument::DoFileSave() {
    if (m_strPathName.empty() || !IsWritableFile(m_strPathName)) {
        return DoSave(std::string());
    }
    return DoSave(m_strPathName);
}

bool CDocument::DoSave(const std::string& path) {
    std::string target = path;
    if (target.empty()) {
        if (!m_saveAsPrompt) {
            return false;
        }
        std::optional<std::string> chosen = m_saveAsPrompt(*this);
        if (!chosen || chosen->empty()) {
            return false;
        }
        target = *chosen;
    }
    return OnSaveDocument(target);
}

std::string CDocument::GetTitle() const {
    if (m_strPathName.empty()) {
        return "Untitled";
    }
    const auto slash = m_strPathName.rfind('/');
    return slash == std::string::npos ? m_strPathName : m_strPathName.substr(slash + 1);
}

void CDocument::ReportFileError(const CFileException& e) {
    m_strLastError = e.GetErrorMessage();
    ShowMessage(MessageIcon::Error, e.GetFileName() + ": " + m_strLastError);
}

void CDocument::ReportFormatError(const std::string& path) {
    m_strLastError = kUnexpectedFormat;
    ShowMessage(MessageIcon::Warning, path + ": " + m_strLastError);
}
