#include "app/lumo_app.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/desktop_integration.h"
#include "app/main_frame.h"
#include "editor/lumo_view.h"

namespace {

// Whether arg is a switch. Here an absolute path begins with "/" too, so a
// "/" argument is a switch only when it names one and no such file exists.
bool IsSwitch(const QString& arg) {
    if (arg.size() < 2) {
        return false;
    }
    if (arg[0] == '-') {
        return true;
    }
    static const QStringList known{"p",           "pt",        "dde",       "unregister",
                                   "unregserver", "embedding", "automation"};
    return arg[0] == '/' && known.contains(arg.mid(1).toLower()) && !QFileInfo::exists(arg);
}

}  // namespace

CCommandLineInfo CCommandLineInfo::Parse(const QStringList& arguments) {
    CCommandLineInfo info;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!IsSwitch(arg)) {
            if (info.fileName.isEmpty()) {
                info.fileName = arg;
            }
            continue;
        }
        const QString name = arg.mid(1).toLower();
        if (name == "p") {
            info.action = Action::Print;
        } else if (name == "pt") {
            info.action = Action::PrintTo;
            // The file, then the printer, its driver and its port.
            if (i + 1 < arguments.size() && info.fileName.isEmpty()) {
                info.fileName = arguments[++i];
            }
            if (i + 1 < arguments.size()) {
                info.printerName = arguments[++i];
            }
            i = std::min<int>(i + 2, int(arguments.size()) - 1);
        } else if (name == "unregister" || name == "unregserver") {
            info.action = Action::Unregister;
        }
        // "dde", "embedding", "automation" and anything else: nothing.
    }
    return info;
}

CLumoApp::CLumoApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName("Local AppWizard-Generated Applications");
    setApplicationName("Lumo");
    // No display name: the window system would add it to every dialog's
    // caption ("Edge Properties ... - Lumo"). The main window's caption
    // carries the name itself.
    // Lets Wayland desktops match the windows to the installed entry.
    setDesktopFileName("lumo");
    setWindowIcon(LumoAppIcon());
    setQuitOnLastWindowClosed(true);
}

CLumoApp::~CLumoApp() = default;

bool CLumoApp::InitInstance() {
    const CCommandLineInfo info = CCommandLineInfo::Parse(arguments().mid(1));
    if (info.action == CCommandLineInfo::Action::Unregister) {
        const bool removed = UnregisterFileType();
        QMessageBox::information(nullptr, "Lumo", removed ? kUnregisterDone : kUnregisterFailed);
        m_exitCode = removed ? 0 : 1;
        return false;
    }
    // Silent: a desktop without the tools still runs Lumo.
    RegisterFileType(applicationFilePath());

    m_frame = std::make_unique<CMainFrame>();
    if (info.action == CCommandLineInfo::Action::Print ||
        info.action == CCommandLineInfo::Action::PrintTo) {
        m_exitCode = PrintAndQuit(info) ? 0 : 1;
        return false;
    }
    if (!info.fileName.isEmpty() && !m_frame->OpenDocumentFile(info.fileName)) {
        m_exitCode = 1;  // the error has been shown
        return false;
    }
    m_frame->show();
    CAboutDlg about(m_frame.get());
    about.DoModal();
    m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
    return true;
}

bool CLumoApp::PrintAndQuit(const CCommandLineInfo& info) {
    if (info.fileName.isEmpty() || !m_frame->OpenDocumentFile(info.fileName)) {
        return false;
    }
    const QPrinterInfo target = info.printerName.isEmpty()
                                    ? QPrinterInfo::defaultPrinter()
                                    : QPrinterInfo::printerInfo(info.printerName);
    if (target.isNull()) {
        QMessageBox::critical(
            nullptr, "Lumo",
            info.printerName.isEmpty()
                ? QObject::tr("No printer is available.")
                : QObject::tr("The printer %1 is not available.").arg(info.printerName));
        return false;
    }
    QPrinter printer(target);
    return m_frame->PrintDocument(&printer);
}
