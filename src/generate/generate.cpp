#include <filesystem>
#include <string>

#include "framework/archive.h"
#include "framework/file_io.h"
#include "framework/message.h"
#include "generate/parse_exception.h"
#include "model/flat_grammar.h"
#include "model/grammar.h"

namespace {

// Holds an output mode for its lifetime and returns the whole document to
// mode 0 on every way out, so the document can never be saved as a table.
class OutputModeGuard {
public:
    OutputModeGuard(CGrammer& doc, int nMode) : m_doc(doc) { m_doc.SetMode(nMode); }
    OutputModeGuard(const OutputModeGuard&) = delete;
    OutputModeGuard& operator=(const OutputModeGuard&) = delete;
    ~OutputModeGuard() { m_doc.SetMode(0); }

private:
    CGrammer& m_doc;
};

// A table is streamed to its file rather than built whole, since it is
// about as large as the document.
template <class Write>
void WriteTableFile(const std::string& path, Write write) {
    CAtomicFile file(path);
    {
        CArchive ar([&file](std::string_view chunk) { file.Write(chunk); });
        write(ar);
        ar.Flush();
    }
    // A table is made from the saved document and can be made again: it
    // need not wait for the disk, which would take longer than making it.
    file.Commit(Durability::Cached);
}

void WriteTable(CGrammer& doc, int nMode, const std::string& path) {
    WriteTableFile(path, [&](CArchive& ar) {
        OutputModeGuard guard(doc, nMode);
        doc.Serialize(ar);
    });
}

}  // namespace

std::string CGrammer::TablePath(const std::string& documentPath, const char* extension) {
    return std::filesystem::path(documentPath).replace_extension(extension).string();
}

void CGrammer::WriteParseTables(const std::string& ptPath, const std::string& txtPath) {
    WriteTable(*this, 1, ptPath);
    WriteTable(*this, 2, txtPath);
}

void CFlatGrammar::WriteParseTables(const std::string& ptPath, const std::string& txtPath) const {
    WriteTableFile(ptPath, [this](CArchive& ar) { WriteTable(ar, 1); });
    WriteTableFile(txtPath, [this](CArchive& ar) { WriteTable(ar, 2); });
}

namespace {

// Whether a table of the document at path would be the document's own file,
// which it would destroy; says so when it is.
bool TableIsDocument(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    for (const char* extension : {".pt", ".txt"}) {
        const std::string table = CGrammer::TablePath(path, extension);
        if (IsSameFile(table, path)) {
            ShowMessage(MessageIcon::Warning, "The parse table " + table +
                                                  " would be written over the document itself. "
                                                  "Nothing was written.");
            return true;
        }
    }
    return false;
}

}  // namespace

bool CGrammer::Generate() {
    try {
        Validate();
    } catch (const CParseException& e) {
        e.ShowMessage();
        return false;
    }
    // Asked before the save as well: saving gives the document a new file,
    // after which a hard link named like a table no longer shows it was one.
    if (TableIsDocument(GetPathName()) || !DoFileSave() || TableIsDocument(GetPathName())) {
        return false;
    }
    const std::string& path = GetPathName();
    try {
        WriteParseTables(TablePath(path, ".pt"), TablePath(path, ".txt"));
    } catch (const CFileException& e) {
        ShowMessage(MessageIcon::Error, e.GetFileName() + ": " + e.GetErrorMessage());
        return false;
    }
    return true;
}
