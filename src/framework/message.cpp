#include "framework/message.h"

#include <cstdio>
#include <utility>

namespace {

MessageHandler& CurrentHandler() {
    static MessageHandler handler;
    return handler;
}

}  // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}

void ShowMessage(MessageIcon icon, const std::string& text) {
    if (const MessageHandler& handler = CurrentHandler()) {
        handler(icon, text);
        return;
    }
    std::fprintf(stderr, "Lumo: %s\n", text.c_str());
}
