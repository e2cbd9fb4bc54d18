#include "cli/documents.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

#include "cli/tool.h"
#include "ebnf/export.h"
#include "ebnf/import.h"
#include "framework/archive.h"
#include "framework/file_io.h"
#include "framework/message.h"
#include "model/grammar.h"

using lumo::cli::PrintError;

namespace {

// The grammar of FILE, never destroyed: the process ends right after.
CGrammer* Read(const std::string& file, int& status) {
    auto* doc = new CGrammer;
    status = ReadGrammar(file, *doc);
    return status == lumo::cli::kSuccess ? doc : nullptr;
}

}  // namespace

bool IsEbnfFile(const std::string& file) {
    std::string extension = std::filesystem::path(file).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".ebnf";
}

int ReadGrammar(const std::string& file, CGrammer& doc) {
    if (!IsEbnfFile(file)) {
        // Errors are reported here, once, from the document's own account.
        SetMessageHandler([](MessageIcon, const std::string&) {});
        if (!doc.OnOpenDocument(file)) {
            PrintError(file, doc.GetLastErrorMessage());
            return lumo::cli::kFailed;
        }
        return lumo::cli::kSuccess;
    }
    try {
        ebnf::ImportEbnf(ReadWholeFile(file), doc);
    } catch (const CFileException& e) {
        PrintError(file, e.GetErrorMessage());
        return lumo::cli::kFailed;
    } catch (const ebnf::SyntaxError& e) {
        std::fprintf(stderr, "%s\n", e.Describe(file).c_str());
        return lumo::cli::kFailed;
    } catch (const std::bad_alloc&) {
        PrintError(file, std::strerror(ENOMEM));
        return lumo::cli::kFailed;
    }
    return lumo::cli::kSuccess;
}

int WriteDocument(const GenOptions& opts) {
    if (IsSameFile(opts.lmFile, opts.file)) {
        PrintError(opts.lmFile, "the document would overwrite the grammar");
        return lumo::cli::kFailed;
    }
    int status = 0;
    CGrammer* doc = Read(opts.file, status);
    if (doc == nullptr) {
        return status;
    }
    if (!doc->OnSaveDocument(opts.lmFile)) {
        PrintError(opts.lmFile, doc->GetLastErrorMessage());
        return lumo::cli::kFailed;
    }
    return lumo::cli::kSuccess;
}

int WriteEbnf(const GenOptions& opts) {
    int status = 0;
    const CGrammer* doc = Read(opts.file, status);
    if (doc == nullptr) {
        return status;
    }
    try {
        const std::string text = ebnf::ExportEbnf(*doc);
        std::fwrite(text.data(), 1, text.size(), stdout);
    } catch (const ebnf::ExportError& e) {
        PrintError(opts.file, e.what());
        return lumo::cli::kRejected;
    }
    return lumo::cli::kSuccess;
}

int ReadEbnfAsDocument(const std::string& file, std::string& bytes) {
    CGrammer doc;
    if (const int status = ReadGrammar(file, doc); status != lumo::cli::kSuccess) {
        return status;
    }
    CArchive ar(&bytes);
    doc.Serialize(ar);
    return lumo::cli::kSuccess;
}

int TablePaths(const GenOptions& opts, std::string& ptPath, std::string& txtPath) {
    if (opts.outputBase.empty()) {
        ptPath = CGrammer::TablePath(opts.file, ".pt");
        txtPath = CGrammer::TablePath(opts.file, ".txt");
    } else {
        ptPath = opts.outputBase + ".pt";
        txtPath = opts.outputBase + ".txt";
    }
    for (const std::string& table : {ptPath, txtPath}) {
        if (IsSameFile(table, opts.file)) {
            PrintError(table, CGrammer::kTableIsDocument);
            return lumo::cli::kFailed;
        }
    }
    return lumo::cli::kSuccess;
}
