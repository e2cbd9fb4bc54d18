#pragma once

#include <string>

// What the fields of the edge dialog become before they reach the document:
// a Graph input upper-cased (Unicode's simple mappings, in the encoding it
// came in), and "@" before a non-empty action that lacks it. An empty input
// is the one value refused: then the function returns false and the fields
// are left as they were. Nothing is trimmed.
bool NormalizeEdgeFields(std::string& strInput, std::string& strAction, bool bGraph);
