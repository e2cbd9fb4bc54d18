// Quick Help and About, run modally: their texts, their one button, and the
// rendering that a plain QLabel would get wrong (tabs) or miss (the icon).

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/quick_help_dlg.h"
#include "support/modal.h"

namespace {

using lumo_test::WhenModal;

template <typename Dialog>
int RunModal(Dialog& dlg, const std::function<void(QWidget*)>& act) {
    lumo_test::Watchdog watchdog;
    WhenModal<Dialog>([&dlg, act](QWidget* modal) {
        EXPECT_EQ(modal, &dlg);
        act(modal);
    });
    const int result = dlg.DoModal();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    return result;
}

QLabel* Label(QWidget* dlg, const QString& name) {
    return dlg->findChild<QLabel*>(name);
}

// The leftmost ink (dark, opaque pixels, as text is drawn) in rows
// [top, bottom) of image, or -1.
int LeftmostInk(const QImage& image, int top, int bottom) {
    for (int x = 0; x < image.width(); ++x) {
        for (int y = top; y < bottom; ++y) {
            if (qAlpha(image.pixel(x, y)) > 128 && qGray(image.pixel(x, y)) < 128) {
                return x;
            }
        }
    }
    return -1;
}

template <typename Dialog>
class OneButtonDialog : public ::testing::Test {};

using Dialogs = ::testing::Types<CQuickHelpDlg, CAboutDlg>;
TYPED_TEST_SUITE(OneButtonDialog, Dialogs);

TYPED_TEST(OneButtonDialog, OpensOnTheDefaultOkAndEnterOrEscapeCloseIt) {
    TypeParam dlg;
    EXPECT_EQ(RunModal(dlg,
                       [](QWidget* modal) {
                           ASSERT_TRUE(QTest::qWaitForWindowActive(modal));
                           auto* ok = modal->findChild<QPushButton*>("ok");
                           ASSERT_NE(ok, nullptr);
                           EXPECT_EQ(ok->text(), "OK");
                           EXPECT_TRUE(ok->isDefault());
                           EXPECT_EQ(QApplication::focusWidget(), ok);
                           // The only control: Tab stays on it.
                           QTest::keyClick(ok, Qt::Key_Tab);
                           EXPECT_EQ(QApplication::focusWidget(), ok);
                           QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                       }),
              QDialog::Accepted);
    EXPECT_EQ(RunModal(dlg, [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); }),
              QDialog::Rejected);
}

const char* const kHelp[] = {
    "Creating a graph :",
    "\tYou can not create a graph directly except the MAIN graph. By using a graph as an edge in "
    "other \n\tgraphs the system creates that graph for you automatically, then you can access "
    "this graph by right-\n\tclicking in the client area.",
    "\tAfter that you can fill the graph that the system generated for you :",
    "Step 1-\tDraw graph's nodes by clicking on the client area.\nStep 2-\tPress Edge button in "
    "the toolbar, then for drawing an edge you can drag from source node to des- \n\ttination "
    "node, and at last fill the edge's properties form.",
    "Note :\tOnce a graph is created, you can not delete it, but this won't cause a problem, and "
    "there is no need\n\tfor redrawing.You should simply not use that graph in other graphs.",
    "Generating the parse table :",
    "\tAfter drawing the graphs of your language in Lumo, you can generate the parse table by  "
    "pressing \t\tF5. If your graphs are correct, Lumo will generate the parse table for you - the "
    ".pt file.",
    "Syntax graphs' constraints :",
    "      1-\tEach graph must have at least one final node.\n      2-\tThe graphs must be "
    "unambiguous.\n      3-\tEach node must not have more than one graph output.\n      4-\tFinal "
    "nodes must not have graph output.",
};

// The nine texts top to bottom, lines broken only where the text breaks
// them, and tabs indenting to one tab stop.
TEST(QuickHelp, ShowsTheNineTextsAsWritten) {
    CQuickHelpDlg dlg;
    RunModal(dlg, [](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "Quick Help");
        int previousBottom = -1;
        for (int i = 1; i <= 9; ++i) {
            SCOPED_TRACE(i);
            QLabel* label = Label(modal, QStringLiteral("text%1").arg(i));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text(), QString::fromUtf8(kHelp[i - 1]));
            const QRect r(label->mapTo(modal, QPoint(0, 0)), label->size());
            EXPECT_GE(r.top(), previousBottom);
            previousBottom = r.bottom();
            EXPECT_TRUE(modal->rect().contains(r));
            if (i == 2 || i == 4 || i == 5 || i == 9) {
                const int lines = label->text().count(QLatin1Char('\n')) + 1;
                const int lineHeight = QFontMetrics(label->font()).height();
                EXPECT_LT(label->heightForWidth(label->width()), (lines + 1) * lineHeight);
                EXPECT_GE(label->height(), lines * lineHeight - lines);
            }
        }
        // Text 2 is three lines, each starting with a tab; text 4's last line,
        // "\ttination ...", starts at the same stop.
        QLabel* label = Label(modal, "text2");
        const QImage image = label->grab().toImage();
        const int band = image.height() / 3;
        const int indent = LeftmostInk(image, 0, band);
        EXPECT_GT(indent, 4 * QFontMetrics(label->font()).averageCharWidth());
        for (int line = 1; line < 3; ++line) {
            EXPECT_NEAR(LeftmostInk(image, line * band, (line + 1) * band), indent, 1) << line;
        }
        const QImage steps = Label(modal, "text4")->grab().toImage();
        EXPECT_NEAR(LeftmostInk(steps, 2 * (steps.height() / 3), steps.height()), indent, 1);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
}

// Black nodes and a red final node on a light ground.
void ExpectIconDrawing(const QImage& image) {
    int black = 0;
    int red = 0;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const QColor c = image.pixelColor(i % image.width(), i / image.width());
        black += c.alpha() >= 200 && c.red() < 60 && c.green() < 60 && c.blue() < 60 ? 1 : 0;
        red += c.alpha() >= 200 && c.red() > 150 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
    }
    EXPECT_GT(black, image.width() * image.height() / 40);
    EXPECT_GT(red, image.width() * image.height() / 100);
}

TEST(AppIcon, RendersTheSvgAtAnySize) {
    const QIcon icon = LumoAppIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        ExpectIconDrawing(image);
    }
}

TEST(About, ShowsTheIconLeftOfNameAndVersion) {
    CAboutDlg dlg;
    RunModal(dlg, [](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "About Lumo");
        QLabel* icon = Label(modal, "icon");
        QLabel* version = Label(modal, "version");
        QLabel* title = Label(modal, "title");
        ASSERT_TRUE(icon && version && title);
        EXPECT_EQ(version->text(), "Lumo Version 1.0");
        EXPECT_EQ(title->text(), "Syntax Graph Parser Generator");
        const QPixmap pixmap = icon->pixmap();
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), QSize(32, 32));
        ExpectIconDrawing(pixmap.toImage());
        EXPECT_LE(icon->geometry().right(), version->geometry().left());
        EXPECT_LT(version->geometry().top(), title->geometry().top());
        QTest::keyClick(modal, Qt::Key_Escape);
    });
}

}  // namespace
