#include "model/graph_links.h"

#include "framework/archive.h"

namespace graph_links {

void BadFormat(const char* what) {
    throw CArchiveException(CArchiveException::badFormat, what);
}

}  // namespace graph_links
