// The application as a user meets it: start-up, the questions to save, the
// recent files, the bars, keys that do nothing, dropped files, switches.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <functional>

#include "app/about_dlg.h"
#include "app/desktop_integration.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "editor/lumo_view.h"
#include "support/grammar_builder.h"
#include "support/modal.h"

namespace {

using lumo_test::Store;
using lumo_test::Watchdog;
using lumo_test::WhenModal;

// Answers the next message box with button (or closes it) and records it as
// "caption|text".
void Answer(QMessageBox::StandardButton button, QString* asked = nullptr) {
    WhenModal<QMessageBox>([=](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        if (asked != nullptr) {
            *asked = box->windowTitle() + "|" + box->text();
        }
        box->button(button) != nullptr ? box->button(button)->click() : box->accept();
    });
}
void Capture(QString* shown) {
    Answer(QMessageBox::NoButton, shown);
}
// Types a name into the next file dialog's name box and presses Enter.
void ChooseFile(QWidget* dialog, const QString& path) {
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText(path);
    QTest::keyClick(edit, Qt::Key_Return);
}
// Records the next print dialog as "caption|file name", then prints to pdf
// (or where it offered).
void PrintToFile(const QString& pdf, QString* seen = nullptr) {
    WhenModal<QPrintDialog>([=](QWidget* w) {
        auto* file = w->findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        if (seen != nullptr) {
            *seen = w->windowTitle() + "|" + file->text();
        }
        file->setText(pdf.isEmpty() ? file->text() : pdf);
        static_cast<QDialog*>(w)->accept();
    });
}
QMenu* MenuOf(CMainFrame& frame, const QString& title) {
    for (QAction* menu : frame.menuBar()->actions()) {
        if (menu->text() == title) {
            return menu->menu();
        }
    }
    return nullptr;
}
QAction* ItemOf(QMenu* menu, const QString& text) {
    for (QAction* item : menu->actions()) {
        if (item->text().startsWith(text)) {
            return item;
        }
    }
    return nullptr;
}

class App : public ::testing::Test {
protected:
    App() {
        // Settings and the file type go to folders of this test's own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path() + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + "/data"));
        CGrammer doc;
        lumo_test::BuildWorkedExample(doc);
        lumo_test::WriteFile(Path("worked.lm"), Store(doc));
        doc.AddNode({700, 700});
        lumo_test::WriteFile(Path("other.lm"), Store(doc));
    }
    std::string Path(const std::string& name) const {
        return (m_home.path() + "/").toStdString() + name;
    }
    QString Q(const std::string& name) const { return QString::fromStdString(Path(name)); }

    // Starts the application with the arguments; About is answered with OK
    // and whether it came (and over which caption) is recorded.
    bool Start(const QStringList& arguments, const std::function<void()>& beforeInit = {}) {
        m_args = {QByteArray("lumo")};
        for (const QString& a : arguments) {
            m_args.append(a.toLocal8Bit());
        }
        m_argv.clear();
        for (QByteArray& a : m_args) {
            m_argv.push_back(a.data());
        }
        m_argc = int(m_argv.size());
        m_app = std::make_unique<CLumoApp>(m_argc, m_argv.data());
        m_watchdog = std::make_unique<Watchdog>();
        WhenModal<CAboutDlg>([this](QWidget* about) {
            m_aboutOver = m_app->MainFrame() != nullptr && m_app->MainFrame()->isVisible()
                              ? m_app->MainFrame()->windowTitle()
                              : QString("(no window)");
            QTest::keyClick(about, Qt::Key_Return);
        });
        if (beforeInit) {
            beforeInit();  // with the application there, before it starts
        }
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

TEST_F(App, StartsUntitledWithAboutOverTheWindow) {
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(m_aboutOver, "Untitled - Lumo");
    EXPECT_EQ(Doc().GetGraphName(0), "MAIN");
    EXPECT_EQ(QApplication::organizationName(), "Local AppWizard-Generated Applications");
    EXPECT_EQ(QApplication::applicationName(), "Lumo");
    EXPECT_TRUE(QFile::exists(m_home.path() + "/data/applications/lumo.desktop"));
    // Dialogs carry exactly their own captions: no display name is set that
    // the window system would add to them.
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
}

TEST_F(App, StartsWithAFileOpenBeforeAboutOrEndsWithAnError) {
    ASSERT_TRUE(Start({Q("worked.lm")}));
    EXPECT_EQ(m_aboutOver, "worked.lm - Lumo");
    EXPECT_EQ(Doc().GetGraphCount(), 2);
    EXPECT_EQ(Frame().RecentFiles().value(0), Q("worked.lm"));
    m_watchdog.reset();
    m_app.reset();
    m_aboutOver.clear();
    QString error;
    EXPECT_FALSE(Start({Q("missing.lm")}, [&] { Capture(&error); }));
    EXPECT_NE(m_app->ExitCode(), 0);
    EXPECT_TRUE(m_aboutOver.isEmpty());
    EXPECT_TRUE(error.contains("No such file or directory")) << error.toStdString();
}

TEST_F(App, SaveQuestionsThreeAnswers) {
    ASSERT_TRUE(Start({Q("worked.lm")}));
    Doc().AddNode({800, 800});
    QString asked;
    Answer(QMessageBox::Cancel, &asked);
    Frame().OnFileNew();
    EXPECT_EQ(asked, "Lumo|Save changes to worked.lm?");
    EXPECT_EQ(Nodes(), 4);  // nothing happened
    EXPECT_TRUE(Doc().IsModified());

    Answer(QMessageBox::Yes);
    Frame().OnFileNew();
    EXPECT_EQ(Nodes(), 1);
    CGrammer saved;
    ASSERT_TRUE(saved.OnOpenDocument(Path("worked.lm")));
    EXPECT_EQ(saved.GetGraph(0)->GetNodeCount(), 4);

    Doc().AddNode({800, 800});
    Answer(QMessageBox::No);
    Frame().OnFileNew();
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Title(), "Untitled - Lumo");

    // Yes on an untitled document asks for a name: Cancel there keeps all.
    Doc().AddNode({800, 800});
    Answer(QMessageBox::Yes);
    WhenModal<QFileDialog>([](QWidget* w) { static_cast<QFileDialog*>(w)->reject(); });
    Frame().OnFileNew();
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Nodes(), 2);

    // Closing asks too; Cancel keeps the window.
    Answer(QMessageBox::Cancel);
    EXPECT_FALSE(Frame().close());
    EXPECT_TRUE(Frame().isVisible());
    Answer(QMessageBox::No);
    EXPECT_TRUE(Frame().close());
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
    for (QAction* a : MenuOf(second, "&File")->actions()) {
        items << (a->isVisible() ? a->text() : "");
    }
    EXPECT_FALSE(items.contains("Recent File"));
    EXPECT_EQ(items.filter("worked.lm").size(), 1);
    // On disk for the next run, under the names the settings use.
    QFile conf(m_home.path() + "/config/Local AppWizard-Generated Applications/Lumo.conf");
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(conf.readAll());
    EXPECT_TRUE(text.contains("[Recent%20File%20List]")) << text.toStdString();
    EXPECT_TRUE(text.contains("File1=" + Q("worked.lm")));

    // A file gone from the disk leaves the list when it fails to open, and
    // the open document stays exactly as it was.
    Doc().AddNode({800, 800});
    const std::string work = Store(Doc());
    QFile::remove(Q("other.lm"));
    QString shown;
    Capture(&shown);
    EXPECT_FALSE(Frame().OpenDocumentFile(Q("other.lm")));
    EXPECT_EQ(shown, "Lumo|" + Q("other.lm") + ": No such file or directory");
    EXPECT_EQ(Frame().RecentFiles().size(), 1);
    EXPECT_EQ(Store(Doc()), work);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Title(), "worked.lm - Lumo");

    // One that fails part-way leaves a new document.
    lumo_test::WriteFile(Path("junk.lm"), "junk");
    Capture(&shown);
    EXPECT_FALSE(Frame().OpenDocumentFile(Q("junk.lm")));
    EXPECT_EQ(shown, "Lumo|" + Q("junk.lm") + ": Unexpected file format.");
    EXPECT_EQ(Doc().GetGraphCount(), 1);
    EXPECT_EQ(Title(), "Untitled - Lumo");
}

// The slip of a mouse in edges mode: a label pressed and let go outside the
// window, then a new document, then a click on a node. Nothing of the old
// document's edge is touched again.
TEST_F(App, NewDocumentAfterAReleaseOutsideTouchesNoOldEdge) {
    ASSERT_TRUE(Start({Q("worked.lm")}));
    Activate();
    CLumoView* view = Frame().GetView();
    view->ToggleModeAction()->trigger();
    view->Repaint();
    const CRect label = Doc().GetCurrentGraph()->GetElement(0)->GetEdge(0)->GetLabelRect();
    const QPoint scroll(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    QWidget* vp = view->viewport();
    QTest::mousePress(
        vp, Qt::LeftButton, {},
        QPoint((label.left + label.right) / 2, (label.top + label.bottom) / 2) - scroll);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(-30, -30));
    Answer(QMessageBox::No);
    QTest::keyClick(&Frame(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Title(), "Untitled - Lumo");
    WhenModal<QDialog>([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });  // a loop: Cancel
    QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(100, 100) - scroll);
    EXPECT_EQ(Doc().GetGraphCount(), 1);
    EXPECT_EQ(Nodes(), 1);
    EXPECT_EQ(Doc().GetCurrentGraph()->GetElement(0)->GetEdgeCount(), 0);
}

// Generate's save of an untitled document names the window and the recent
// file list, as any save does.
TEST_F(App, GenerateSaveUpdatesTheCaptionAndRecentFiles) {
    ASSERT_TRUE(Start({}));
    lumo_test::MakeFinal(Doc(), 1);
    WhenModal<QFileDialog>([&](QWidget* w) { ChooseFile(w, Q("fresh.lm")); });
    Frame().GetView()->GenerateAction()->trigger();
    EXPECT_TRUE(QFile::exists(Q("fresh.pt")));
    EXPECT_EQ(Title(), "fresh.lm - Lumo");
    EXPECT_EQ(Frame().RecentFiles().value(0), Q("fresh.lm"));
}

// A print job that cannot start is reported, not passed over in silence.
TEST_F(App, PrintJobThatCannotStartIsReported) {
    ASSERT_TRUE(Start({}));
    PrintToFile("/proc/lumo-cannot-write-here.pdf");
    QString shown;
    Capture(&shown);
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

TEST_F(App, BarsToggleWithTheirTicksAndBlankButtonsStayDisabled) {
    ASSERT_TRUE(Start({}));
    for (auto [action, bar] :
         {std::pair<QAction*, QWidget*>{Frame().ToolbarAction(), Frame().GetToolBar()},
          {Frame().StatusBarAction(), Frame().statusBar()}}) {
        for (bool shown : {false, true}) {
            action->trigger();
            EXPECT_EQ(bar->isVisible(), shown);
            EXPECT_EQ(action->isChecked(), shown);
        }
    }
    for (const char* name : {"paste", "copy", "cut"}) {
        QAction* blank = Frame().GetToolBar()->findChild<QAction*>(name);
        ASSERT_NE(blank, nullptr);
        EXPECT_FALSE(blank->isEnabled());
    }
}

TEST_F(App, EditKeysDoNothingUndoKeysWorkAnywhereAndMainGraphReturnsToMain) {
    ASSERT_TRUE(Start({Q("worked.lm")}));
    Activate();
    const std::string before = Store(Doc());
    for (auto key : {QKeyCombination(Qt::CTRL, Qt::Key_C), QKeyCombination(Qt::CTRL, Qt::Key_V),
                     QKeyCombination(Qt::CTRL, Qt::Key_X), QKeyCombination(Qt::CTRL, Qt::Key_Z),
                     QKeyCombination(Qt::Key_F6)}) {
        QTest::keyClick(&Frame(), key.key(), key.keyboardModifiers());
    }
    EXPECT_EQ(Store(Doc()), before);
    EXPECT_FALSE(Doc().IsModified());
    // Undo and redo wherever the focus is, with no menu of their own.
    Doc().GetHistory().AddNode({800, 800});
    QTest::keyClick(Frame().GetToolBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Nodes(), 3);
    QTest::keyClick(Frame().statusBar(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Nodes(), 4);
    QStringList menus;
    for (QAction* menu : Frame().menuBar()->actions()) {
        menus << menu->text();
    }
    EXPECT_EQ(menus, QStringList({"&File", "&View", "&Run", "&Help"}));
    ASSERT_TRUE(Doc().SelectGraph(1));
    ItemOf(MenuOf(Frame(), "&View"), "&Main Graph")->trigger();
    EXPECT_EQ(Doc().GetCurrentIndex(), 0);
}

TEST_F(App, DroppedFilesOpenOneAfterAnotherTheLastStaying) {
    ASSERT_TRUE(Start({}));
    Doc().AddNode({800, 800});
    Answer(QMessageBox::No);  // asked once, before the first file replaces it
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

TEST_F(App, UnregisterRemovesTheFileTypeAndReports) {
    QString shown;
    EXPECT_FALSE(Start({"/Unregister"}, [&] {
        RegisterFileType("/usr/bin/lumo");
        Capture(&shown);
    }));
    EXPECT_EQ(m_app->ExitCode(), 0);
    EXPECT_EQ(shown, QString("Lumo|") + kUnregisterDone);
    EXPECT_FALSE(QFile::exists(m_home.path() + "/data/applications/lumo.desktop"));
    EXPECT_TRUE(m_aboutOver.isEmpty());
}

TEST_F(App, PrintSwitchWithoutAPrinterReportsAndEnds) {
    QString shown;
    EXPECT_FALSE(Start({"-p", Q("worked.lm")}, [&] { Capture(&shown); }));
    EXPECT_NE(m_app->ExitCode(), 0);
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_TRUE(m_aboutOver.isEmpty());
}

TEST(CommandLine, SwitchesAndFiles) {
    using Action = CCommandLineInfo::Action;
    const struct {
        QStringList args;
        Action action;
        const char* file;
    } cases[] = {{{"a.lm"}, Action::Normal, "a.lm"},
                 {{"/home/u/g.lm"}, Action::Normal, "/home/u/g.lm"},
                 {{"/p", "/home/u/g.lm"}, Action::Print, "/home/u/g.lm"},
                 {{"/P", "a.lm"}, Action::Print, "a.lm"},
                 {{"-pt", "a.lm", "Office", "drv", "port"}, Action::PrintTo, "a.lm"},
                 {{"/Unregserver"}, Action::Unregister, ""},
                 {{"/dde", "b.lm"}, Action::Normal, "b.lm"},
                 {{"-Embedding", "b.lm"}, Action::Normal, "b.lm"},
                 {{"/Automation", "b.lm"}, Action::Normal, "b.lm"}};
    for (const auto& c : cases) {
        const CCommandLineInfo info = CCommandLineInfo::Parse(c.args);
        EXPECT_EQ(info.action, c.action) << c.args.join(' ').toStdString();
        EXPECT_EQ(info.fileName, c.file) << c.args.join(' ').toStdString();
    }
    EXPECT_EQ(CCommandLineInfo::Parse({"-pt", "a.lm", "Office", "drv", "port"}).printerName,
              "Office");
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
                                    {"&View", "&Main Graph", ""},
                                    {"&File", "&New", "Create a new document"},
                                    {"&View", "&Toolbar", "Show or hide the toolbar"}};
    for (const auto& [title, item, prompt] : cases) {
        QMenu* menu = MenuOf(Frame(), title);
        menu->popup(Frame().mapToGlobal(QPoint(10, 10)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(ItemOf(menu, item));
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
    // Cancelling the Open dialog asks nothing and changes nothing.
    WhenModal<QFileDialog>([&](QWidget* w) { static_cast<QFileDialog*>(w)->reject(); });
    Frame().OnFileOpen();
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Nodes(), 2);
    // The question comes after the choice: it is only answered once the
    // dialog is there.
    QString asked;
    WhenModal<QFileDialog>([&](QWidget* w) {
        Answer(QMessageBox::No, &asked);
        ChooseFile(w, Q("other.lm"));
    });
    Frame().OnFileOpen();
    EXPECT_EQ(asked, "Lumo|Save changes to Untitled?");
    EXPECT_EQ(Title(), "other.lm - Lumo");
}

}  // namespace
