// Quick Help and About, run modally, and the application's images: the
// rendering that a plain QLabel would get wrong (tabs) or miss (the icon).

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/quick_help_dlg.h"
#include "app/toolbar_icons.h"
#include "support/modal.h"

namespace {

// Runs the dialog, checks it opens on its default OK, acts, then leaves by
// the key given.
template <typename Dialog>
int RunModal(const std::function<void(QWidget*)>& act, Qt::Key leave = Qt::Key_Return) {
    lumo_test::Watchdog watchdog;
    Dialog dlg;
    lumo_test::WhenModal<Dialog>([&](QWidget* modal) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(modal));
        EXPECT_EQ(QApplication::focusWidget(), modal->findChild<QPushButton*>("ok"));
        EXPECT_TRUE(modal->findChild<QPushButton*>("ok")->isDefault());
        act(modal);
        QTest::keyClick(QApplication::focusWidget(), leave);
    });
    return dlg.DoModal();
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

// Whether an image is drawn: a tenth of it opaque at least.
bool Drawn(const QIcon& icon) {
    const QImage image = icon.pixmap(32, 32).toImage();
    int opaque = 0;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        opaque += qAlpha(image.pixel(i % image.width(), i / image.width())) > 128 ? 1 : 0;
    }
    return opaque > image.width() * image.height() / 10;
}

// The nine texts unchanged, top to bottom, and tabs indenting to one tab stop.
TEST(QuickHelp, ShowsTheNineTextsWithTheirTabStops) {
    EXPECT_EQ(RunModal<CQuickHelpDlg>([](QWidget* modal) {
                  EXPECT_EQ(modal->windowTitle(), "Quick Help");
                  QCryptographicHash texts(QCryptographicHash::Sha1);
                  int previousBottom = -1;
                  for (int i = 1; i <= 9; ++i) {
                      auto* label = modal->findChild<QLabel*>(QStringLiteral("text%1").arg(i));
                      ASSERT_NE(label, nullptr) << i;
                      texts.addData(label->text().toUtf8() + '\0');
                      const QRect r(label->mapTo(modal, QPoint(0, 0)), label->size());
                      EXPECT_TRUE(r.top() >= previousBottom && modal->rect().contains(r)) << i;
                      previousBottom = r.bottom();
                  }
                  EXPECT_EQ(texts.result().toHex(), "47d49d2c25b3c3d9dc9d9a17443cd89cd2205400");
                  // Text 2 is three lines, each starting with a tab.
                  auto* label = modal->findChild<QLabel*>("text2");
                  const QImage image = label->grab().toImage();
                  const int band = image.height() / 3, indent = LeftmostInk(image, 0, band);
                  EXPECT_GT(indent, 4 * QFontMetrics(label->font()).averageCharWidth());
                  EXPECT_NEAR(LeftmostInk(image, band, 2 * band), indent, 1);
              }),
              QDialog::Accepted);
}

TEST(About, ShowsTheIconLeftOfNameAndVersion) {
    const int result = RunModal<CAboutDlg>(
        [](QWidget* modal) {
            EXPECT_EQ(modal->windowTitle(), "About Lumo");
            auto* icon = modal->findChild<QLabel*>("icon");
            auto* version = modal->findChild<QLabel*>("version");
            ASSERT_TRUE(icon && version);
            EXPECT_TRUE(version->text().contains("1.0"));
            EXPECT_LE(icon->geometry().right(), version->geometry().left());
        },
        Qt::Key_Escape);
    EXPECT_EQ(result, QDialog::Rejected);
}

// The application's image and every toolbar image draw: none is an SVG that
// failed to parse or a resource left out.
TEST(Images, EachDraws) {
    EXPECT_TRUE(Drawn(LumoAppIcon()));
    for (const char* name : {"new", "open", "save", "help", "mode", "print"}) {
        EXPECT_TRUE(Drawn(LumoToolbarIcon(name))) << name;
    }
}

}  // namespace
