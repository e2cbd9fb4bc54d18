// The application as a user meets it: start-up, the questions to save, the
// recent files, the bars, keys that do nothing, dropped files, switches.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QDir>
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

using lumo_test::WhenModal;

// Answers the next "Save changes" question.
void Answer(QMessageBox::StandardButton button, QString* asked = nullptr) {
    WhenModal<QMessageBox>([=](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        if (asked != nullptr) {
            *asked = box->windowTitle() + "|" + box->text();
        }
        box->button(button)->click();
    });
}

class App : public ::testing::Test {
protected:
    App() {
        // Settings and the file type go to folders of this test's own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path() + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + "/data"));
        m_dir = m_home.path().toStdString();
        CGrammer doc;
        lumo_test::BuildWorkedExample(doc);
        lumo_test::WriteFile(Path("worked.lm"), lumo_test::Store(doc));
        doc.AddNode({700, 700});
        lumo_test::WriteFile(Path("other.lm"), lumo_test::Store(doc));
    }
    std::string Path(const std::string& name) const { return m_dir + "/" + name; }

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
        m_watchdog = std::make_unique<lumo_test::Watchdog>();
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
    CMainFrame& Frame() { return *m_app->MainFrame(); }
    CGrammer& Doc() { return Frame().GetDocument(); }

    QTemporaryDir m_home;
    std::string m_dir;
    QList<QByteArray> m_args;
    std::vector<char*> m_argv;
    int m_argc = 0;
    std::unique_ptr<CLumoApp> m_app;
    std::unique_ptr<lumo_test::Watchdog> m_watchdog;
    QString m_aboutOver;
};

TEST_F(App, StartsUntitledWithAboutOverTheWindow) {
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(m_aboutOver, "Untitled - Lumo");
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Doc().GetGraphName(0), "MAIN");
    EXPECT_EQ(QApplication::organizationName(), "Local AppWizard-Generated Applications");
    EXPECT_EQ(QApplication::applicationName(), "Lumo");
    // The file type was registered for this user.
    EXPECT_TRUE(QFile::exists(m_home.path() + "/data/applications/lumo.desktop"));
}

TEST_F(App, StartsWithAFileOpenBeforeAbout) {
    ASSERT_TRUE(Start({QString::fromStdString(Path("worked.lm"))}));
    EXPECT_EQ(m_aboutOver, "worked.lm - Lumo");
    EXPECT_EQ(Doc().GetGraphCount(), 2);
    EXPECT_EQ(Frame().RecentFiles().value(0).toStdString(), Path("worked.lm"));
}

TEST_F(App, MissingFileEndsWithAnErrorAndNoAbout) {
    QString error;
    EXPECT_FALSE(Start({QString::fromStdString(Path("missing.lm"))}, [&] {
        WhenModal<QMessageBox>([&](QWidget* w) {
            error = static_cast<QMessageBox*>(w)->text();
            static_cast<QMessageBox*>(w)->accept();
        });
    }));
    EXPECT_NE(m_app->ExitCode(), 0);
    EXPECT_TRUE(m_aboutOver.isEmpty());
    EXPECT_TRUE(error.contains("No such file or directory")) << error.toStdString();
}

TEST_F(App, SaveQuestionsThreeAnswers) {
    ASSERT_TRUE(Start({QString::fromStdString(Path("worked.lm"))}));
    Doc().AddNode({800, 800});
    const int nodes = Doc().GetCurrentGraph()->GetNodeCount();

    QString asked;
    Answer(QMessageBox::Cancel, &asked);
    Frame().OnFileNew();
    EXPECT_EQ(asked, "Lumo|Save changes to worked.lm?");
    EXPECT_EQ(Doc().GetCurrentGraph()->GetNodeCount(), nodes);  // nothing happened
    EXPECT_TRUE(Doc().IsModified());

    Answer(QMessageBox::Yes);
    Frame().OnFileNew();
    EXPECT_EQ(Doc().GetCurrentGraph()->GetNodeCount(), 1);
    CGrammer saved;
    ASSERT_TRUE(saved.OnOpenDocument(Path("worked.lm")));
    EXPECT_EQ(saved.GetGraph(0)->GetNodeCount(), nodes);

    Doc().AddNode({800, 800});
    Answer(QMessageBox::No);
    Frame().OnFileNew();
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Frame().windowTitle(), "Untitled - Lumo");

    // Closing asks too; Cancel keeps the window.
    Doc().AddNode({800, 800});
    Answer(QMessageBox::Cancel);
    EXPECT_FALSE(Frame().close());
    EXPECT_TRUE(Frame().isVisible());
    Answer(QMessageBox::No);
    EXPECT_TRUE(Frame().close());
}

TEST_F(App, UntitledYesAsksForANameAndCancelKeepsEverything) {
    ASSERT_TRUE(Start({}));
    Doc().AddNode({800, 800});
    Answer(QMessageBox::Yes);
    WhenModal<QFileDialog>([](QWidget* w) { static_cast<QFileDialog*>(w)->reject(); });
    Frame().OnFileNew();
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().GetCurrentGraph()->GetNodeCount(), 2);
}

TEST_F(App, RecentFilesAcrossWindowsAndFailedOpens) {
    ASSERT_TRUE(Start({}));
    ASSERT_TRUE(Frame().OpenDocumentFile(QString::fromStdString(Path("other.lm"))));
    ASSERT_TRUE(Frame().OpenDocumentFile(QString::fromStdString(Path("worked.lm"))));
    // A new window reads the list back, most recent first.
    CMainFrame second;
    ASSERT_EQ(second.RecentFiles().size(), 2);
    EXPECT_EQ(second.RecentFiles()[0].toStdString(), Path("worked.lm"));
    EXPECT_EQ(second.RecentFiles()[1].toStdString(), Path("other.lm"));
    // Shown in the File menu in place of the greyed "Recent File".
    QStringList items;
    for (QAction* a : second.menuBar()->actions().first()->menu()->actions()) {
        if (a->isVisible()) {
            items << a->text();
        }
    }
    EXPECT_FALSE(items.contains("Recent File"));
    EXPECT_TRUE(items.contains(
                    "&1 " + QDir::toNativeSeparators(QString::fromStdString(Path("worked.lm")))) ||
                items.filter("worked.lm").size() == 1);

    // On disk for the next run, under the names the settings use.
    const QString conf = m_home.path() + "/config/Local AppWizard-Generated Applications/Lumo.conf";
    QFile file(conf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << conf.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("[Recent%20File%20List]") || text.contains("[Recent File List]"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("File1=" + QString::fromStdString(Path("worked.lm"))));

    // A file gone from the disk leaves the list when it fails to open, and
    // the open document stays exactly as it was.
    Doc().AddNode({800, 800});
    const std::string work = lumo_test::Store(Doc());
    QFile::remove(QString::fromStdString(Path("other.lm")));
    QString shown;
    WhenModal<QMessageBox>([&](QWidget* w) {
        shown = static_cast<QMessageBox*>(w)->text();
        static_cast<QMessageBox*>(w)->accept();
    });
    EXPECT_FALSE(Frame().OpenDocumentFile(QString::fromStdString(Path("other.lm"))));
    EXPECT_EQ(shown.toStdString(), Path("other.lm") + ": No such file or directory");
    EXPECT_EQ(Frame().RecentFiles().size(), 1);
    EXPECT_EQ(lumo_test::Store(Doc()), work);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Frame().windowTitle(), "worked.lm - Lumo");

    // One that fails part-way leaves a new document.
    lumo_test::WriteFile(Path("junk.lm"), "junk");
    WhenModal<QMessageBox>([&](QWidget* w) {
        shown = static_cast<QMessageBox*>(w)->text();
        static_cast<QMessageBox*>(w)->accept();
    });
    EXPECT_FALSE(Frame().OpenDocumentFile(QString::fromStdString(Path("junk.lm"))));
    EXPECT_EQ(shown.toStdString(), Path("junk.lm") + ": Unexpected file format.");
    EXPECT_EQ(Doc().GetGraphCount(), 1);
    EXPECT_EQ(Frame().windowTitle(), "Untitled - Lumo");
}

// The slip of a mouse in edges mode: a label pressed and let go outside the
// window, then a new document, then a click on a node. Nothing of the old
// document's edge is touched again.
TEST_F(App, NewDocumentAfterAReleaseOutsideTouchesNoOldEdge) {
    ASSERT_TRUE(Start({QString::fromStdString(Path("worked.lm"))}));
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    CLumoView* view = Frame().GetView();
    view->ToggleModeAction()->trigger();
    view->Repaint();
    const CRect label = Doc().GetCurrentGraph()->GetElement(0)->GetEdge(0)->GetLabelRect();
    auto at = [view](CPoint p) {
        return QPoint(p.x - view->horizontalScrollBar()->value(),
                      p.y - view->verticalScrollBar()->value());
    };
    QWidget* vp = view->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {},
                      at({(label.left + label.right) / 2, (label.top + label.bottom) / 2}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(-30, -30));
    Answer(QMessageBox::No);
    QTest::keyClick(&Frame(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Frame().windowTitle(), "Untitled - Lumo");
    WhenModal<QDialog>([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });  // a loop: Cancel
    QTest::mousePress(vp, Qt::LeftButton, {}, at({100, 100}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at({100, 100}));
    EXPECT_EQ(Doc().GetGraphCount(), 1);
    EXPECT_EQ(Doc().GetCurrentGraph()->GetNodeCount(), 1);
    EXPECT_EQ(Doc().GetCurrentGraph()->GetElement(0)->GetEdgeCount(), 0);
}

// Generate's save of an untitled document names the window and the recent
// file list, as any save does.
TEST_F(App, GenerateSaveUpdatesTheCaptionAndRecentFiles) {
    ASSERT_TRUE(Start({}));
    lumo_test::MakeFinal(Doc(), 1);
    WhenModal<QFileDialog>([&](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText(QString::fromStdString(Path("fresh.lm")));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    Frame().GetView()->GenerateAction()->trigger();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("fresh.pt"))));
    EXPECT_EQ(Frame().windowTitle(), "fresh.lm - Lumo");
    EXPECT_EQ(Frame().RecentFiles().value(0).toStdString(), Path("fresh.lm"));
}

// Dialogs carry exactly their own captions: with an application display
// name set, the window system would show "Edge Properties ... \u2014 Lumo".
TEST_F(App, NoDisplayNameIsAddedToDialogCaptions) {
    ASSERT_TRUE(Start({}));
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    QCoreApplication::setApplicationName("Lumo");
    EXPECT_EQ(Frame().windowTitle(), "Untitled - Lumo");
}

// A print job that cannot start is reported, not passed over in silence.
TEST_F(App, PrintJobThatCannotStartIsReported) {
    ASSERT_TRUE(Start({}));
    WhenModal<QPrintDialog>([](QWidget* w) {
        auto* file = w->findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        file->setText("/proc/lumo-cannot-write-here.pdf");
        static_cast<QDialog*>(w)->accept();
    });
    QString shown;
    WhenModal<QMessageBox>([&](QWidget* w) {
        shown = w->windowTitle() + "|" + static_cast<QMessageBox*>(w)->text();
        static_cast<QMessageBox*>(w)->accept();
    });
    Frame().OnFilePrint();
    EXPECT_EQ(shown, "Lumo|Could not start print job.");
}

TEST_F(App, BarsToggleWithTheirTicksAndBlankButtonsStayDisabled) {
    ASSERT_TRUE(Start({}));
    EXPECT_TRUE(Frame().ToolbarAction()->isChecked());
    Frame().ToolbarAction()->trigger();
    EXPECT_FALSE(Frame().GetToolBar()->isVisible());
    EXPECT_FALSE(Frame().ToolbarAction()->isChecked());
    Frame().ToolbarAction()->trigger();
    EXPECT_TRUE(Frame().GetToolBar()->isVisible());
    EXPECT_TRUE(Frame().ToolbarAction()->isChecked());

    Frame().StatusBarAction()->trigger();
    EXPECT_FALSE(Frame().statusBar()->isVisible());
    EXPECT_FALSE(Frame().StatusBarAction()->isChecked());
    Frame().StatusBarAction()->trigger();
    EXPECT_TRUE(Frame().statusBar()->isVisible());

    for (const char* name : {"paste", "copy", "cut"}) {
        QAction* blank = Frame().GetToolBar()->findChild<QAction*>(name);
        ASSERT_NE(blank, nullptr);
        EXPECT_FALSE(blank->isEnabled());
    }
    Frame().GetView()->ToggleModeAction()->trigger();
    EXPECT_TRUE(Frame().GetView()->ToggleModeAction()->isChecked());
}

TEST_F(App, EditKeysDoNothingAndMainGraphReturnsToMain) {
    ASSERT_TRUE(Start({QString::fromStdString(Path("worked.lm"))}));
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    const std::string before = lumo_test::Store(Doc());
    for (auto key : {QKeyCombination(Qt::CTRL, Qt::Key_C), QKeyCombination(Qt::CTRL, Qt::Key_V),
                     QKeyCombination(Qt::CTRL, Qt::Key_X), QKeyCombination(Qt::CTRL, Qt::Key_Z),
                     QKeyCombination(Qt::NoModifier, Qt::Key_F6)}) {
        QTest::keyClick(&Frame(), key.key(), key.keyboardModifiers());
    }
    EXPECT_EQ(lumo_test::Store(Doc()), before);
    EXPECT_FALSE(Doc().IsModified());

    ASSERT_TRUE(Doc().SelectGraph(1));
    for (QAction* menu : Frame().menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            if (item->text() == "&Main Graph") {
                item->trigger();
            }
        }
    }
    EXPECT_EQ(Doc().GetCurrentGraph(), Doc().GetGraph(0));
}

TEST_F(App, UndoKeysWorkWhereverTheFocusIsAndAddNoMenu) {
    ASSERT_TRUE(Start({}));
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    Doc().GetHistory().AddNode({800, 800});
    QTest::keyClick(Frame().GetToolBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Doc().GetCurrentGraph()->GetNodeCount(), 1);
    QTest::keyClick(Frame().statusBar(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Doc().GetCurrentGraph()->GetNodeCount(), 2);
    QStringList menus;
    for (QAction* menu : Frame().menuBar()->actions()) {
        menus << menu->text();
    }
    EXPECT_EQ(menus, QStringList({"&File", "&View", "&Run", "&Help"}));
}

TEST_F(App, DroppedFilesOpenOneAfterAnotherTheLastStaying) {
    ASSERT_TRUE(Start({}));
    Doc().AddNode({800, 800});
    Answer(QMessageBox::No);  // asked once, before the first file replaces it
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Path("other.lm"))),
                  QUrl::fromLocalFile(QString::fromStdString(Path("worked.lm")))});
    // As a drag from the file manager arrives: enter, then drop.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    EXPECT_EQ(Frame().windowTitle(), "worked.lm - Lumo");
    EXPECT_EQ(Doc().GetCurrentGraph()->GetNodeCount(), 3);
    EXPECT_EQ(Frame().RecentFiles().size(), 2);
}

TEST_F(App, UnregisterRemovesTheFileTypeAndReports) {
    QString shown;
    auto record = [&] {
        WhenModal<QMessageBox>([&](QWidget* w) {
            shown = static_cast<QMessageBox*>(w)->text();
            static_cast<QMessageBox*>(w)->accept();
        });
    };
    EXPECT_FALSE(Start({"/Unregister"}, [&] {
        RegisterFileType("/usr/bin/lumo");
        EXPECT_TRUE(QFile::exists(m_home.path() + "/data/applications/lumo.desktop"));
        record();
    }));
    EXPECT_EQ(m_app->ExitCode(), 0);
    EXPECT_EQ(shown, kUnregisterDone);
    EXPECT_FALSE(QFile::exists(m_home.path() + "/data/applications/lumo.desktop"));
    EXPECT_TRUE(m_aboutOver.isEmpty());
}

TEST_F(App, PrintSwitchWithoutAPrinterReportsAndEnds) {
    QString shown;
    auto record = [&] {
        WhenModal<QMessageBox>([&](QWidget* w) {
            shown = static_cast<QMessageBox*>(w)->text();
            static_cast<QMessageBox*>(w)->accept();
        });
    };
    EXPECT_FALSE(Start({"-p", QString::fromStdString(Path("worked.lm"))}, record));
    EXPECT_NE(m_app->ExitCode(), 0);
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_TRUE(m_aboutOver.isEmpty());
}

TEST(CommandLine, SwitchesAndFiles) {
    using Action = CCommandLineInfo::Action;
    EXPECT_EQ(CCommandLineInfo::Parse({"a.lm"}).fileName, "a.lm");
    EXPECT_EQ(CCommandLineInfo::Parse({"/home/u/g.lm"}).fileName, "/home/u/g.lm");
    EXPECT_EQ(CCommandLineInfo::Parse({"/p", "/home/u/g.lm"}).fileName, "/home/u/g.lm");
    EXPECT_EQ(CCommandLineInfo::Parse({"/P", "a.lm"}).action, Action::Print);
    const CCommandLineInfo to = CCommandLineInfo::Parse({"-pt", "a.lm", "Office", "drv", "port"});
    EXPECT_EQ(to.action, Action::PrintTo);
    EXPECT_EQ(to.fileName, "a.lm");
    EXPECT_EQ(to.printerName, "Office");
    EXPECT_EQ(CCommandLineInfo::Parse({"/Unregserver"}).action, Action::Unregister);
    for (const char* nothing : {"/dde", "-Embedding", "/Automation"}) {
        const CCommandLineInfo info = CCommandLineInfo::Parse({nothing, "b.lm"});
        EXPECT_EQ(info.action, Action::Normal);
        EXPECT_EQ(info.fileName, "b.lm");
    }
}

}  // namespace

namespace {

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

}  // namespace

TEST_F(App, MessagePaneIsEmptyForMenuItemsWithoutAPrompt) {
    ASSERT_TRUE(Start({}));
    auto* pane = Frame().statusBar()->findChild<QLabel*>("messagePane");
    ASSERT_NE(pane, nullptr);
    auto shown = [&] {
        const QString message = Frame().statusBar()->currentMessage();
        return message.isEmpty() && pane->isVisible() ? pane->text() : message;
    };
    EXPECT_EQ(shown(), "Ready");

    struct Highlight {
        const char* menu;
        const char* item;
        const char* pane;
    } cases[] = {
        {"&Run", "&Generate", ""},
        {"&View", "&Main Graph", ""},
        {"&File", "&New", "Create a new document"},
        {"&View", "&Toolbar", "Show or hide the toolbar"},
    };
    for (const Highlight& c : cases) {
        QMenu* menu = MenuOf(Frame(), c.menu);
        ASSERT_NE(menu, nullptr) << c.menu;
        menu->popup(Frame().mapToGlobal(QPoint(10, 10)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(ItemOf(menu, c.item));
        EXPECT_EQ(shown().toStdString(), c.pane) << c.item;
        menu->hide();
        QCoreApplication::processEvents();
        EXPECT_EQ(shown().toStdString(), "Ready") << "after " << c.item;
    }

    // The canvas's context menu: the graph list on empty canvas.
    QString during = "(no menu)";
    WhenModal<QMenu>([&](QWidget* w) {
        auto* menu = static_cast<QMenu*>(w);
        menu->setActiveAction(menu->actions().value(0));
        during = shown();
        menu->close();
    });
    QWidget* canvas = Frame().GetView()->viewport();
    const QPoint p = canvas->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, canvas->mapToGlobal(p));
    QApplication::sendEvent(canvas, &event);
    EXPECT_EQ(during.toStdString(), "");
    EXPECT_EQ(shown().toStdString(), "Ready");
}

TEST_F(App, OpenAsksToSaveOnlyOnceAFileIsChosen) {
    ASSERT_TRUE(Start({}));
    Doc().AddNode({800, 800});
    QString order;
    // Cancelling the Open dialog asks nothing and changes nothing.
    WhenModal<QFileDialog>([&](QWidget* w) {
        order += "open;";
        static_cast<QFileDialog*>(w)->reject();
    });
    lumo_test::Watchdog cancelled;
    Frame().OnFileOpen();
    EXPECT_EQ(order, "open;");
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().GetCurrentGraph()->GetNodeCount(), 2);

    // The question comes after the choice: it is only answered once the
    // dialog is there.
    QString asked;
    WhenModal<QFileDialog>([&](QWidget* w) {
        Answer(QMessageBox::No, &asked);
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText(QString::fromStdString(Path("other.lm")));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    lumo_test::Watchdog chosen;
    Frame().OnFileOpen();
    EXPECT_EQ(asked, "Lumo|Save changes to Untitled?");
    EXPECT_EQ(Frame().windowTitle(), "other.lm - Lumo");
}

TEST_F(App, PrintSetupChoosesThePrinterForTheNextPrint) {
    ASSERT_TRUE(Start({}));
    const QString pdf = QString::fromStdString(Path("graph.pdf"));
    QString title;
    WhenModal<QPrintDialog>([&](QWidget* w) {
        title = w->windowTitle();
        auto* file = w->findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        file->setText(pdf);
        static_cast<QDialog*>(w)->accept();
    });
    lumo_test::Watchdog setup;
    Frame().OnFilePrintSetup();
    EXPECT_EQ(title, "Print Setup");
    EXPECT_FALSE(QFile::exists(pdf));  // set up, not printed

    // The next Print starts from that choice.
    QString offered;
    WhenModal<QPrintDialog>([&](QWidget* w) {
        offered = w->findChild<QLineEdit*>("filename")->text();
        static_cast<QDialog*>(w)->accept();
    });
    lumo_test::Watchdog print;
    Frame().OnFilePrint();
    EXPECT_EQ(offered, pdf);
    EXPECT_TRUE(QFile::exists(pdf));
}
