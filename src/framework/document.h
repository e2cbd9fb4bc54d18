#pragma once

#include <functional>
#include <optional>
#include <string>

class CArchive;
class CFileException;

// The document protocol: path, title, modified flag, and the new, open and
// save steps around the derived class's Serialize. Failures are reported
// through ShowMessage and kept for GetLastErrorMessage.
class CDocument {
public:
    CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    virtual ~CDocument();

    virtual bool OnNewDocument();
    // Reads path and loads it. A file that cannot be read at all (missing,
    // unreadable, a folder, not a regular file), or that needs more memory
    // than there is, leaves the document as it was; one that is not a valid
    // document is refused with "PATH: Unexpected file format." and leaves the
    // document as after OnNewDocument. A zero-length file opens as a new
    // document under its name.
    virtual bool OnOpenDocument(const std::string& path);
    // Stores the document and replaces the file at path atomically; on failure
    // the old file and the modified flag are untouched.
    virtual bool OnSaveDocument(const std::string& path);
    virtual void DeleteContents() {}
    virtual void Serialize(CArchive& ar) = 0;
    // Replaces the contents with what ar holds, or throws and keeps them:
    // loading goes into contents of its own, which take the document's place
    // only when complete.
    virtual void LoadContents(CArchive& ar) = 0;

    // Saves under the current path, or asks for one (Save As) when the
    // document has none, its file is gone or is read-only.
    bool DoFileSave();
    // Saves under path, or asks for a name when path is empty.
    bool DoSave(const std::string& path);

    // Asked for a file name by Save As; returns nothing when the user cancels.
    using SaveAsPrompt = std::function<std::optional<std::string>(CDocument&)>;
    void SetSaveAsPrompt(SaveAsPrompt prompt) { m_saveAsPrompt = std::move(prompt); }
    // Told after every save that succeeded, whichever command made it.
    using SavedHandler = std::function<void(CDocument&)>;
    void SetSavedHandler(SavedHandler handler) { m_savedHandler = std::move(handler); }

    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(const std::string& path) { m_strPathName = path; }
    // The file name without its folder, or "Untitled".
    std::string GetTitle() const;

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    // The text of the last failure reported by open or save.
    const std::string& GetLastErrorMessage() const { return m_strLastError; }

    static constexpr const char* kUnexpectedFormat = "Unexpected file format.";

protected:
    virtual void ReportFileError(const CFileException& e);
    void ReportFormatError(const std::string& path);

private:
    std::string m_strPathName;
    bool m_bModified = false;
    std::string m_strLastError;
    SaveAsPrompt m_saveAsPrompt;
    SavedHandler m_savedHandler;
};
