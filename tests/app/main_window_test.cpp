// The application as a user meets it: start-up, the questions to save, the
// recent files, menus and keys, printing, dropped files, switches.

#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QRegularExpression>
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

// Records the next print dialog as "caption|file name", then prints to pdf
// (or where it offered).
void PrintToFile(const QString& pdf, QString* seen = nullptr) {
    WhenModal<QPrintDialog>([=](QWidget* w) {
        auto* file = w->findChild<QLineEdit*>("filename");
        seen != nullptr ? void(*seen = w->windowTitle() + "|" + file->text()) : void();
        file->setText(pdf.isEmpty() ? file->text() : pdf);
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
            const bool shown = m_app->MainFrame() != nullptr && m_app->MainFrame()->isVisible();
            m_aboutOver = shown ? m_app->MainFrame()->windowTitle() : QString("(no window)");
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
    // The menu of the menu bar with that title, or the item of it whose text
    // starts with item.
    QAction* Menu(const QString& title, const QString& item = {}) {
        for (QAction* menu : Frame().menuBar()->actions()) {
            for (QAction* a : menu->text() == title ? menu->menu()->actions() : QList<QAction*>()) {
                if (a->text().startsWith(item)) {
                    return item.isEmpty() ? menu : a;
                }
            }
        }
        return nullptr;
    }

    QTemporaryDir m_home;
    QList<QByteArray> m_args;
    std::vector<char*> m_argv;
    int m_argc = 0;
    std::unique_ptr<CLumoApp> m_app;
    std::unique_ptr<Watchdog> m_watchdog;
    QString m_aboutOver;
};

// About over the window a start opened; a start that cannot open its file,
// prints without a printer, or unregisters, ends with a message instead.
TEST_F(App, StartsWithAboutOverTheWindowOrEndsWithAMessage) {
    const struct {
        QStringList args;
        const char* about;
        const char* shown;
        bool exitZero;
    } cases[] = {
        {{}, "Untitled - Lumo", "", true},
        {{Q("worked.lm")}, "worked.lm - Lumo", "", true},
        {{Q("missing.lm")}, "", "No such file or directory", false},
        {{"-p", Q("worked.lm")}, "", "", false},
        {{"/Unregister"}, "", kUnregisterDone, true},
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
                  c.args.value(0) != "/Unregister");
    }
    // Dialogs carry exactly their own captions: no display name is set that
    // the window system would add to them.
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
}

TEST_F(App, SaveQuestionsThreeAnswers) {
    ASSERT_TRUE(Start({Q("worked.lm")}));
    Doc().AddNode({800, 800});
    QString asked;
    Answer(&asked, QMessageBox::Cancel);
    Frame().OnFileNew();
    EXPECT_EQ(asked, "Lumo|Save changes to worked.lm?");
    EXPECT_EQ(Nodes(), 4);  // nothing happened
    EXPECT_TRUE(Doc().IsModified());
    Answer(nullptr, QMessageBox::Yes);
    Frame().OnFileNew();
    EXPECT_EQ(Nodes(), 1);
    CGrammer saved;
    ASSERT_TRUE(saved.OnOpenDocument(Path("worked.lm")));
    EXPECT_EQ(saved.GetGraph(0)->GetNodeCount(), 4);
    Doc().AddNode({800, 800});
    Answer(nullptr, QMessageBox::No);
    Frame().OnFileNew();
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Title(), "Untitled - Lumo");
    // Yes on an untitled document asks for a name: Cancel there keeps all.
    Doc().AddNode({800, 800});
    Answer(nullptr, QMessageBox::Yes);
    ChooseFile("");
    Frame().OnFileNew();
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Nodes(), 2);
    Answer(nullptr, QMessageBox::Cancel);  // closing asks too
    EXPECT_FALSE(Frame().close());
    Answer(nullptr, QMessageBox::No);
}

TEST_F(App, RecentFilesAcrossWindowsAndFailedOpens) {
    ASSERT_TRUE(Start({}));
    ASSERT_TRUE(Frame().OpenDocumentFile(Q("other.lm")));
    ASSERT_TRUE(Frame().OpenDocumentFile(Q("worked.lm")));
    // A new window reads the list back, most recent first, and shows it in
    // the File menu in place of the greyed "Recent File".
    CMainFrame second;
    EXPECT_EQ(second.RecentFiles(), QStringList({Q("worked.lm"), Q("other.lm")}));
    QStringList items;
    for (QAction* a : second.menuBar()->actions().value(0)->menu()->actions()) {
        items << (a->isVisible() ? a->text() : "");
    }
    EXPECT_EQ(items.filter(QRegularExpression("Recent File|worked.lm")).size(), 1);
    // On disk for the next run, under the names the settings use.
    QFile conf(m_home.path() + "/config/Local AppWizard-Generated Applications/Lumo.conf");
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        conf.readAll().contains("[Recent%20File%20List]\nFile1=" + Q("worked.lm").toUtf8()));

    // A file gone from the disk leaves the list when it fails to open, and
    // the open document stays exactly as it was.
    Doc().AddNode({800, 800});
    const std::string work = Store(Doc());
    QFile::remove(Q("other.lm"));
    QString shown;
    Answer(&shown);
    EXPECT_FALSE(Frame().OpenDocumentFile(Q("other.lm")));
    EXPECT_EQ(shown, "Lumo|" + Q("other.lm") + ": No such file or directory");
    EXPECT_EQ(Frame().RecentFiles().size(), 1);
    EXPECT_EQ(Store(Doc()), work);
    EXPECT_TRUE(Doc().IsModified());
    // One that fails part-way leaves a new document.
    WriteFile(Path("junk.lm"), "junk");
    Answer(&shown);
    EXPECT_FALSE(Frame().OpenDocumentFile(Q("junk.lm")));
    EXPECT_EQ(shown, "Lumo|" + Q("junk.lm") + ": Unexpected file format.");
    EXPECT_EQ(Doc().GetGraphCount(), 1);
    EXPECT_EQ(Title(), "Untitled - Lumo");
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

// A print job that cannot start is reported, not passed over in silence.
TEST_F(App, PrintJobThatCannotStartIsReported) {
    ASSERT_TRUE(Start({}));
    PrintToFile("/proc/lumo-cannot-write-here.pdf");
    QString shown;
    Answer(&shown);
    Frame().OnFilePrint();
    EXPECT_EQ(shown, "Lumo|Could not start print job.");
}

TEST_F(App, PrintSetupChoosesThePrinterForTheNextPrint) {
    ASSERT_TRUE(Start({}));
    QString seen;
    PrintToFile(Q("graph.pdf"), &seen);
    Frame().OnFilePrintSetup();
    EXPECT_EQ(seen.section('|', 0, 0), "Print Setup");
    EXPECT_FALSE(QFile::exists(Q("graph.pdf")));  // set up, not printed
    PrintToFile("", &seen);
    Frame().OnFilePrint();
    EXPECT_EQ(seen.section('|', 1), Q("graph.pdf"));  // the next Print starts from that choice
    EXPECT_TRUE(QFile::exists(Q("graph.pdf")));
}

// The bars' items with their ticks; blank buttons disabled; edit keys that
// do nothing; undo and redo wherever the focus is; Main Graph back to MAIN.
TEST_F(App, MenusBarsAndKeys) {
    ASSERT_TRUE(Start({Q("worked.lm")}));
    Activate();
    Menu("&View", "&Status Bar")->trigger();
    EXPECT_FALSE(Frame().statusBar()->isVisible() || Menu("&View", "&Status Bar")->isChecked());
    EXPECT_FALSE(Frame().GetToolBar()->findChild<QAction*>("paste")->isEnabled());
    const std::string before = Store(Doc());
    for (auto key : {QKeyCombination(Qt::CTRL, Qt::Key_C), QKeyCombination(Qt::CTRL, Qt::Key_V),
                     QKeyCombination(Qt::CTRL, Qt::Key_X), QKeyCombination(Qt::CTRL, Qt::Key_Z),
                     QKeyCombination(Qt::Key_F6)}) {
        QTest::keyClick(&Frame(), key.key(), key.keyboardModifiers());
    }
    EXPECT_EQ(Store(Doc()), before);
    EXPECT_FALSE(Doc().IsModified());
    Doc().GetHistory().AddNode({800, 800});
    QTest::keyClick(Frame().GetToolBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Nodes(), 3);
    QTest::keyClick(Frame().statusBar(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Nodes(), 4);
    ASSERT_TRUE(Doc().SelectGraph(1));
    Menu("&View", "&Main Graph")->trigger();
    EXPECT_EQ(Doc().GetCurrentIndex(), 0);
}

TEST_F(App, DroppedFilesOpenOneAfterAnotherTheLastStaying) {
    ASSERT_TRUE(Start({}));
    Doc().AddNode({800, 800});
    Answer(nullptr, QMessageBox::No);  // asked once, before the first file replaces it
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q("other.lm")), QUrl::fromLocalFile(Q("worked.lm"))});
    // As a drag from the file manager arrives: enter, then drop.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    EXPECT_EQ(Title(), "worked.lm - Lumo");
    EXPECT_EQ(Nodes(), 3);
    EXPECT_EQ(Frame().RecentFiles().size(), 2);
}

TEST(CommandLine, SwitchesAndFiles) {
    using Action = CCommandLineInfo::Action;
    const struct {
        QStringList args;
        Action action;
        const char* file;
    } cases[] = {{{"/home/u/g.lm"}, Action::Normal, "/home/u/g.lm"},
                 {{"/P", "a.lm"}, Action::Print, "a.lm"},
                 {{"-pt", "a.lm", "Office", "drv", "port"}, Action::PrintTo, "a.lm"},
                 {{"/Unregserver"}, Action::Unregister, ""},
                 {{"-Embedding", "b.lm"}, Action::Normal, "b.lm"}};
    for (const auto& c : cases) {
        const CCommandLineInfo info = CCommandLineInfo::Parse(c.args);
        EXPECT_EQ(info.action, c.action) << c.args.join(' ').toStdString();
        EXPECT_EQ(info.fileName, c.file) << c.args.join(' ').toStdString();
        EXPECT_EQ(info.printerName, c.action == Action::PrintTo ? "Office" : "");
    }
}

TEST_F(App, MessagePaneIsEmptyForMenuItemsWithoutAPrompt) {
    ASSERT_TRUE(Start({}));
    auto* pane = Frame().statusBar()->findChild<QLabel*>("messagePane");
    ASSERT_NE(pane, nullptr);
    auto shown = [&] {
        const QString message = Frame().statusBar()->currentMessage();
        return (message.isEmpty() && pane->isVisible() ? pane->text() : message).toStdString();
    };
    EXPECT_EQ(shown(), "Ready");
    const char* const cases[][3] = {{"&Run", "&Generate", ""},
                                    {"&File", "&New", "Create a new document"}};
    for (const auto& [title, item, prompt] : cases) {
        QMenu* menu = Menu(title)->menu();
        menu->popup(Frame().mapToGlobal(QPoint(10, 10)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(Menu(title, item));
        EXPECT_EQ(shown(), prompt) << item;
        menu->hide();
        QCoreApplication::processEvents();
        EXPECT_EQ(shown(), "Ready") << "after " << item;
    }
    // The canvas's context menu: the graph list on empty canvas.
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
