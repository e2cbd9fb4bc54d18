#pragma once

#include <functional>
#include <string>

// The application's message box, as the headless core sees it. The GUI
// installs a handler that shows a real box; without one, messages go to
// standard error.
enum class MessageIcon {
    Warning,  // the exclamation icon: refused input, failed validation
    Error,    // the stop icon: a command that failed
};

using MessageHandler = std::function<void(MessageIcon, const std::string&)>;

// Installs handler and returns the one it replaces; an empty handler restores
// the default.
MessageHandler SetMessageHandler(MessageHandler handler);
void ShowMessage(MessageIcon icon, const std::string& text);
