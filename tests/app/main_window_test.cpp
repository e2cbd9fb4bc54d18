// The application as a user meets it: start-up and switches, the questions to
// save, recent files, keys, printing, dropped files, the message pane.

#include <QLabel>
#include <QMimeData>
#include <QPrintDialog>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUrl>

#include "app/about_dlg.h"
#include "app/desktop_integration.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "editor/canvas.h"

namespace {

using namespace lumo_test;

// Accepts the next print dialog, printing to pdf (or where it offered).
void PrintToFile(const QString& pdf) {
    WhenModal<QPrintDialog>([=](QWidget* w) {
        pdf.isEmpty() ? void() : w->findChild<QLineEdit*>("filename")->setText(pdf);
        static_cast<QDialog*>(w)->accept();
    });
}

class App : public ::testing::Test {
protected:
    App() {
        // Settings and the file type go to folders of this test's own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path() + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + "/data"));
        CGrammer doc;
        BuildWorkedExample(doc);
        WriteFile(Path("worked.lm"), Store(doc));
        doc.AddNode({700, 700});
        WriteFile(Path("other.lm"), Store(doc));
    }
    std::string Path(const std::string& name) const { return Q(name).toStdString(); }
    QString Q(const std::string& name) const {
        return m_home.path() + "/" + QString::fromStdString(name);
    }

    // Starts the application with the arguments (a fresh one each time);
    // About is answered with OK and the caption it came over is recorded.
    bool Start(const QStringList& arguments, const std::function<void()>& beforeInit = {}) {
        m_watchdog.reset();
        m_app.reset();
        m_args = {QByteArray("lumo")};
        m_argv.clear();
        for (const QString& a : arguments) {
            m_args.append(a.toLocal8Bit());
        }
        std::transform(m_args.begin(), m_args.end(), std::back_inserter(m_argv),
                       [](QByteArray& a) { return a.data(); });
        m_argc = int(m_argv.size());
        m_app = std::make_unique<CLumoApp>(m_argc, m_argv.data());
        m_watchdog = std::make_unique<Watchdog>();
        m_aboutOver.clear();
        WhenModal<CAboutDlg>([this](QWidget* about) {
            m_aboutOver = Frame().isVisible() ? Title() : QString("(no window)");
            QTest::keyClick(about, Qt::Key_Return);
        });
        beforeInit ? beforeInit() : void();  // with the application there, before it starts
        return m_app->InitInstance();
    }
    void Activate() {
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }
    CMainFrame& Frame() { return *m_app->MainFrame(); }
    CGrammer& Doc() { return Frame().GetDocument(); }
    int Nodes() { return Doc().GetCurrentGraph()->GetNodeCount(); }
    QString Title() { return Frame().windowTitle(); }

    QTemporaryDir m_home;
    QList<QByteArray> m_args;
    std::vector<char*> m_argv;
    int m_argc = 0;
    std::unique_ptr<CLumoApp> m_app;
    std::unique_ptr<Watchdog> m_watchdog;
    QString m_aboutOver;
};

// About over the window a start opened; a start that cannot open its file, prints
// or unregisters ends with a message. Switches start with '-' or '/'.
TEST_F(App, StartsWithAboutOverTheWindowOrEndsWithAMessage) {
    const struct {
        QStringList args;
        const char* about;
        const char* shown;
        bool exitZero;
    } cases[] = {
        {{}, "Untitled - Lumo", "", true},
        {{"-Embedding", Q("worked.lm")}, "worked.lm - Lumo", "", true},
        {{Q("missing.lm")}, "", "No such file or directory", false},
        {{"/p", Q("worked.lm")}, "", "No printer", false},
        {{"-pt", Q("worked.lm"), "Office", "drv", "port"}, "", "printer Office is not", false},
        {{"/Unregserver"}, "", kUnregisterDone, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QString shown;
        EXPECT_EQ(Start(c.args, [&] { Answer(&shown); }), *c.about != '\0');
        EXPECT_EQ(m_aboutOver, c.about);
        EXPECT_TRUE(shown.contains(c.shown)) << shown.toStdString();
        EXPECT_EQ(shown.isEmpty(), *c.about != '\0');
        EXPECT_EQ(m_app->ExitCode() == 0, c.exitZero);
        EXPECT_EQ(QFile::exists(m_home.path() + "/data/applications/lumo.desktop"),
                  c.args.value(0) != "/Unregserver");
    }
    // No display name, which the window system would add to dialogs' captions.
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
}

TEST_F(App, SaveQuestionsThreeAnswers) {
    ASSERT_TRUE(Start({Q("worked.lm")}));
    Doc().AddNode({800, 800});
    const std::string edited = Store(Doc());
    QString asked;
    Answer(&asked, QMessageBox::Cancel);
    Frame().OnFileNew();
    EXPECT_EQ(asked, "Lumo|Save changes to worked.lm?");
    EXPECT_EQ(Nodes(), 4);  // nothing happened
    Answer(nullptr, QMessageBox::Yes);
    Frame().OnFileNew();
    EXPECT_EQ(Nodes(), 1);
    EXPECT_EQ(ReadFile(Path("worked.lm")), edited);
}

// The list is on disk at once for the next window; a file that fails to open
// leaves it, and the open document stays exactly as it was.
TEST_F(App, RecentFilesForTheNextWindowAndAFailedOpen) {
    ASSERT_TRUE(Start({}));
    ASSERT_TRUE(Frame().OpenDocumentFile(Q("other.lm")));
    ASSERT_TRUE(Frame().OpenDocumentFile(Q("worked.lm")));
    EXPECT_EQ(CMainFrame().RecentFiles(), QStringList({Q("worked.lm"), Q("other.lm")}));
    Doc().AddNode({800, 800});
    const std::string work = Store(Doc());
    QFile::remove(Q("other.lm"));
    QString shown;
    Answer(&shown);
    EXPECT_FALSE(Frame().OpenDocumentFile(Q("other.lm")));
    EXPECT_EQ(shown, "Lumo|" + Q("other.lm") + ": No such file or directory");
    EXPECT_EQ(Frame().RecentFiles().size(), 1);
    EXPECT_EQ(Store(Doc()), work);
}

// Generate's save of an untitled document names the window and the recent
// file list, as any save does.
TEST_F(App, GenerateSaveUpdatesTheCaptionAndRecentFiles) {
    ASSERT_TRUE(Start({}));
    Activate();
    MakeFinal(Doc(), 1);
    ChooseFile(Q("fresh.lm"));
    QTest::keyClick(&Frame(), Qt::Key_F5);
    EXPECT_TRUE(QFile::exists(Q("fresh.pt")));
    EXPECT_EQ(Title(), "fresh.lm - Lumo");
    EXPECT_EQ(Frame().RecentFiles().value(0), Q("fresh.lm"));
}

// Print Setup prints nothing and chooses where the next Print goes; a print
// job that cannot start is reported.
TEST_F(App, PrintSetupChoosesThePrinterForTheNextPrint) {
    ASSERT_TRUE(Start({}));
    PrintToFile(Q("graph.pdf"));
    Frame().OnFilePrintSetup();
    EXPECT_FALSE(QFile::exists(Q("graph.pdf")));
    PrintToFile("");
    Frame().OnFilePrint();
    EXPECT_TRUE(QFile::exists(Q("graph.pdf")));
    PrintToFile("/proc/lumo-cannot-write-here.pdf");
    QString shown;
    Answer(&shown);
    Frame().OnFilePrint();
    EXPECT_EQ(shown, "Lumo|Could not start print job.");
}

// Undo and redo by their keys wherever the focus is in the window.
TEST_F(App, UndoAndRedoKeysFromAnywhereInTheWindow) {
    ASSERT_TRUE(Start({Q("worked.lm")}));
    Activate();
    Doc().GetHistory().AddNode({800, 800});
    QTest::keyClick(Frame().GetToolBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Nodes(), 3);
    QTest::keyClick(Frame().statusBar(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Nodes(), 4);
}

TEST_F(App, DroppedFilesOpenOneAfterAnotherTheLastStaying) {
    ASSERT_TRUE(Start({}));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q("other.lm")), QUrl::fromLocalFile(Q("worked.lm"))});
    // As a drag from the file manager arrives: enter, then drop.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    EXPECT_EQ(Title(), "worked.lm - Lumo");
    EXPECT_EQ(Frame().RecentFiles().size(), 2);  // both were opened
}

// A highlighted item without a prompt, in the menu bar's menus or the
// canvas's, leaves the message pane empty, and "Ready" comes back after.
TEST_F(App, MessagePaneIsEmptyForMenuItemsWithoutAPrompt) {
    ASSERT_TRUE(Start({}));
    auto* pane = Frame().statusBar()->findChild<QLabel*>("messagePane");
    ASSERT_NE(pane, nullptr);
    auto shown = [&] {
        const QString message = Frame().statusBar()->currentMessage();
        return (message.isEmpty() && pane->isVisible() ? pane->text() : message).toStdString();
    };
    QAction* generate = Frame().GetView()->GenerateAction();
    QMenu* menu = nullptr;
    for (QObject* o : generate->associatedObjects()) {
        menu = qobject_cast<QMenu*>(o) != nullptr ? qobject_cast<QMenu*>(o) : menu;
    }
    menu->popup(Frame().mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    menu->setActiveAction(generate);
    EXPECT_EQ(shown(), "");
    menu->hide();
    std::string during = "(no menu)";
    WhenModal<QMenu>([&](QWidget* w) {
        static_cast<QMenu*>(w)->setActiveAction(w->actions().value(0));
        during = shown();
        w->close();
    });
    QWidget* canvas = Frame().GetView()->viewport();
    const QPoint p = canvas->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, canvas->mapToGlobal(p));
    QApplication::sendEvent(canvas, &event);
    EXPECT_EQ(during, "");
    EXPECT_EQ(shown(), "Ready");
}

TEST_F(App, OpenAsksToSaveOnlyOnceAFileIsChosen) {
    ASSERT_TRUE(Start({}));
    Doc().AddNode({800, 800});
    // The question comes after the choice: it is only answered once the
    // dialog is there.
    QString asked;
    WhenModal<QFileDialog>([&](QWidget* w) {
        Answer(&asked, QMessageBox::No);
        Edit(w, "fileNameEdit")->setText(Q("other.lm"));
        QTest::keyClick(Edit(w, "fileNameEdit"), Qt::Key_Return);
    });
    Frame().OnFileOpen();
    EXPECT_EQ(asked, "Lumo|Save changes to Untitled?");
    EXPECT_EQ(Title(), "other.lm - Lumo");
}

}  // namespace
