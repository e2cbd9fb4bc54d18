#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "framework/message.h"

class CDocument;

// Stored text as the user sees it, read by the one rule of framework/text.h.
QString DisplayString(const std::string& bytes);
// What the user typed, stored as UTF-8.
std::string StoredString(const QString& text);

// Asks for the name to save a document under: "Lumo Files (*.lm)" first,
// then "All Files (*.*)", ".lm" added to a name without a suffix. Nothing
// when the user cancels.
std::optional<std::string> AskSaveAsFileName(QWidget* parent, const CDocument& doc);

// Shows the core's messages as message boxes owned by parent's window,
// captioned "Lumo": warnings with the warning icon, errors with the critical
// one. Returns an object that puts the previous handler back when destroyed.
class CMessageBoxes {
public:
    explicit CMessageBoxes(QWidget* parent);
    ~CMessageBoxes();
    CMessageBoxes(const CMessageBoxes&) = delete;
    CMessageBoxes& operator=(const CMessageBoxes&) = delete;

private:
    MessageHandler m_previous;
};
