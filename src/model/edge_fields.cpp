#include "model/edge_fields.h"

#include "framework/text.h"

bool NormalizeEdgeFields(std::string& strInput, std::string& strAction, bool bGraph) {
    if (strInput.empty()) {
        return false;
    }
    if (bGraph) {
        strInput = ToUpperText(strInput);
    }
    if (!strAction.empty() && strAction.front() != '@') {
        strAction.insert(0, 1, '@');
    }
    return true;
}
