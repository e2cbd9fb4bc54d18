#pragma once

#include <string>
#include <vector>

class CGrammer;

// Writes one SVG drawing per graph into folder (created if missing), named
// after the graph and made safe and unique as file names. Returns the paths
// written, in graph order. Throws CFileException when a file cannot be
// written; files written before stay.
std::vector<std::string> ExportSvg(CGrammer& doc, const std::string& folder);

// The file name (without ".svg") for a graph name: letters, digits, '-',
// '_' and '.' kept, anything else '_', never empty or hidden.
std::string SafeFileStem(const std::string& graphName);
