#include "generate/parse_exception.h"

#include "framework/message.h"

void CParseException::ShowMessage() const {
    ::ShowMessage(MessageIcon::Warning, what());
}
