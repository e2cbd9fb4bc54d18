// Exported drawings are well-formed SVG whatever the labels hold, and show
// labels as the canvas does.

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

// The element names of an SVG document in order, with the first text's
// content and the first rect's width.
struct Parsed {
    explicit Parsed(QXmlStreamReader&& xml) {
        while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
            if (!xml.isStartElement()) {
                continue;
            }
            version = elements.isEmpty() ? xml.attributes().value("version").toString() : version;
            elements << xml.name().toString();
            width = elements.back() == "rect" && width < 0
                        ? xml.attributes().value("width").toDouble()
                        : width;
            text = elements.back() == "text" && text.isNull() ? xml.readElementText() : text;
        }
        error = xml.errorString();
    }
    QStringList elements;
    QString version, text, error;
    double width = -1;
};

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
        const Parsed svg{QXmlStreamReader(&file)};
        EXPECT_TRUE(svg.error.isEmpty()) << path << ": " << svg.error.toStdString();
        EXPECT_EQ(svg.elements.value(0), "svg");
        EXPECT_EQ(svg.version, "1.1");
        EXPECT_GT(
            svg.elements.count("ellipse") + svg.elements.count("path") + svg.elements.count("line"),
            0);
    }
}

// The same characters as the canvas, in a box as wide as those characters.
TEST(SvgExport, LabelTextAndWidthMatchTheCanvas) {
    CQtTextCache canvas;
    for (const std::string label : {"caf\xE9 \x80\x81", "\xC3\xA9\xE2\x86\x92\xC3\xBC", "x<y&z"}) {
        CSvgSurface svg;
        svg.DrawText(label,
                     CRect{0, 0, 100 * CSvgSurface::kFontMaxWidth, CSvgSurface::kFontHeight});
        const Parsed parsed{QXmlStreamReader(QByteArray::fromStdString(svg.Document("")))};
        const QString shown = canvas.Get(label, QApplication::font()).text.text();
        EXPECT_EQ(parsed.text.toStdString(), shown.toStdString());
        EXPECT_EQ(parsed.width, shown.size() * CSvgSurface::kFontMaxWidth) << label;
    }
}

}  // namespace
