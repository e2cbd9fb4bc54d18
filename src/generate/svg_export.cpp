#include "generate/svg_export.h"

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>

#include "framework/file_io.h"
#include "framework/svg_surface.h"
#include "model/grammar.h"

std::string SafeFileStem(const std::string& graphName) {
    std::string stem;
    for (const char ch : graphName) {
        const auto c = static_cast<unsigned char>(ch);
        stem += std::isalnum(c) != 0 || c == '-' || c == '_' || c == '.' ? ch : '_';
    }
    if (stem.empty() || stem.front() == '.') {
        stem.insert(0, "graph");
    }
    return stem.substr(0, 200);
}

std::vector<std::string> ExportSvg(CGrammer& doc, const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        throw CFileException(ec.value(), folder);
    }
    std::vector<std::string> written;
    // Unique even on file systems that ignore letter case.
    std::set<std::string> taken;
    for (int i = 0; i < doc.GetGraphCount(); ++i) {
        const std::string stem = SafeFileStem(doc.GetGraphName(i));
        std::string name = stem;
        for (int n = 2;; ++n) {
            std::string lower = name;
            for (char& c : lower) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            if (taken.insert(lower).second) {
                break;
            }
            name = stem + "-" + std::to_string(n);
        }
        CSvgSurface svg;
        // Drawing refreshes the label rectangles, as any repaint does.
        doc.GetGraph(i)->Draw(&svg);
        const std::string path = (std::filesystem::path(folder) / (name + ".svg")).string();
        WriteFileAtomically(path, svg.Document(doc.GetGraphName(i)), Durability::Cached);
        written.push_back(path);
    }
    return written;
}
