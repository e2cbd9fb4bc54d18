#pragma once

#include <QApplication>
#include <QStringList>
#include <memory>

class CMainFrame;

// What the command line asks for: a document to open, and at most one of
// printing it, printing it to a named printer, or removing the file type
// registration. "dde", "Embedding" and "Automation" mean nothing on this
// desktop and start Lumo normally.
struct CCommandLineInfo {
    enum class Action { Normal, Print, PrintTo, Unregister };
    Action action = Action::Normal;
    QString fileName;
    QString printerName;

    // Switches begin with "/" or "-" and are matched without regard to case;
    // an absolute path is a file, never a switch.
    static CCommandLineInfo Parse(const QStringList& arguments);
};

// The application: settings under "Local AppWizard-Generated Applications"
// / "Lumo", the file type registered at every start, the command line, the
// main window and the About box shown at start-up.
class CLumoApp : public QApplication {
public:
    CLumoApp(int& argc, char** argv);
    ~CLumoApp() override;

    // Carries out the start-up; false when the program is to end now, with
    // ExitCode() as its status.
    bool InitInstance();
    int ExitCode() const { return m_exitCode; }
    CMainFrame* MainFrame() const { return m_frame.get(); }

private:
    bool PrintAndQuit(const CCommandLineInfo& info);

    std::unique_ptr<CMainFrame> m_frame;
    int m_exitCode = 0;
};
