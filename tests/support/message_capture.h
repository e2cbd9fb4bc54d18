#pragma once

#include <string>
#include <vector>

#include "framework/message.h"

namespace lumo_test {

// Collects what the core would show in message boxes, for the life of the
// object, instead of printing it.
class MessageCapture {
public:
    MessageCapture() {
        m_old = SetMessageHandler([this](MessageIcon icon, const std::string& text) {
            m_messages.push_back(text);
            m_icons.push_back(icon);
        });
    }
    ~MessageCapture() { SetMessageHandler(m_old); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<std::string>& Messages() const { return m_messages; }
    const std::vector<MessageIcon>& Icons() const { return m_icons; }

private:
    MessageHandler m_old;
    std::vector<std::string> m_messages;
    std::vector<MessageIcon> m_icons;
};

}  // namespace lumo_test
