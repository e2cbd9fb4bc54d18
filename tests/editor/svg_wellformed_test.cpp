// Exported drawings are well-formed SVG whatever the labels hold.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QXmlStreamReader>

#include "editor/qt_surface.h"
#include "framework/svg_surface.h"
#include "generate/svg_export.h"
#include "support/grammar_builder.h"
#include "support/temp_dir.h"

namespace {

TEST(SvgExport, EveryFileParsesAsXmlWithTheShapesDrawn) {
    CGrammer doc;
    lumo_test::BuildWorkedExample(doc);
    doc.AddNode({600, 300});
    lumo_test::AddEdge(doc, 4, 4, std::string("<tag attr=\"x\">&amp;\t\x01\x7F\x80\xFF]]>", 26));
    lumo_test::AddGraphEdge(doc, 4, 1, "--comment--");
    lumo_test::TempDir dir;
    const std::vector<std::string> files = ExportSvg(doc, dir.Root());
    ASSERT_EQ(files.size(), 3u);
    for (const std::string& path : files) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        int shapes = 0;
        QString root;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                if (root.isEmpty()) {
                    root = xml.name().toString();
                    EXPECT_EQ(xml.attributes().value("version"), QString("1.1"));
                }
                shapes += xml.name() == QString("ellipse") || xml.name() == QString("path") ||
                          xml.name() == QString("line");
            }
        }
        EXPECT_FALSE(xml.hasError()) << path << ": " << xml.errorString().toStdString();
        EXPECT_EQ(root, QString("svg"));
        EXPECT_GT(shapes, 0);
    }
}

// The SVG shows a label's bytes as the same characters as the canvas, in a
// box as wide as those characters.
TEST(SvgExport, LabelTextAndWidthMatchTheCanvas) {
    CQtTextCache canvas;
    const char* labels[] = {"caf\xE9 \x80\x81", "\xC3\xA9\xE2\x86\x92\xC3\xBC", "x<y&z"};
    for (const std::string label : labels) {
        CSvgSurface svg;
        const int width = 100 * CSvgSurface::kFontMaxWidth;
        svg.DrawText(label, CRect{0, 0, width, CSvgSurface::kFontHeight});
        QXmlStreamReader xml(QByteArray::fromStdString(svg.Document("")));
        QString text;
        double box = -1;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) {
                continue;
            }
            if (xml.name() == QString("rect") && box < 0) {
                box = xml.attributes().value("width").toDouble();
            } else if (xml.name() == QString("text")) {
                text = xml.readElementText();
            }
        }
        const QString shown = canvas.Get(label, QApplication::font()).text.text();
        EXPECT_EQ(text.toStdString(), shown.toStdString());
        EXPECT_EQ(box, shown.size() * CSvgSurface::kFontMaxWidth) << label;
    }
}

}  // namespace
