// Quick Help's texts as a plain QLabel would get them wrong (tabs), and the
// application's images.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QLabel>
#include <QTest>

#include "app/app_icon.h"
#include "app/quick_help_dlg.h"
#include "app/toolbar_icons.h"

namespace {

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
    CQuickHelpDlg dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(dlg.windowTitle(), "Quick Help");
    QCryptographicHash texts(QCryptographicHash::Sha1);
    int previousBottom = -1;
    for (int i = 1; i <= 9; ++i) {
        auto* label = dlg.findChild<QLabel*>(QStringLiteral("text%1").arg(i));
        ASSERT_NE(label, nullptr) << i;
        texts.addData(label->text().toUtf8() + '\0');
        const QRect r(label->mapTo(&dlg, QPoint(0, 0)), label->size());
        EXPECT_TRUE(r.top() >= previousBottom && dlg.rect().contains(r)) << i;
        previousBottom = r.bottom();
    }
    EXPECT_EQ(texts.result().toHex(), "47d49d2c25b3c3d9dc9d9a17443cd89cd2205400");
    // Text 2 is three lines, each starting with a tab.
    auto* label = dlg.findChild<QLabel*>("text2");
    const QImage image = label->grab().toImage();
    const int band = image.height() / 3, indent = LeftmostInk(image, 0, band);
    EXPECT_GT(indent, 4 * QFontMetrics(label->font()).averageCharWidth());
    EXPECT_NEAR(LeftmostInk(image, band, 2 * band), indent, 1);
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
