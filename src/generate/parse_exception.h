#pragma once

#include <stdexcept>
#include <string>

// A grammar that breaks one of the rules a parse table needs. The message is
// complete and names the graph and, where there is one, the node.
class CParseException : public std::runtime_error {
public:
    explicit CParseException(const std::string& strMessage) : std::runtime_error(strMessage) {}

    const char* GetMessage() const { return what(); }
    // Shows the message in the application's message box, with the warning
    // icon.
    void ShowMessage() const;
};
