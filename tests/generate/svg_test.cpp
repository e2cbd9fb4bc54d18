// SVG drawings of the graphs: file names, and the shapes each call becomes.

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/svg_surface.h"
#include "generate/svg_export.h"
#include "support/grammar_builder.h"
#include "support/temp_dir.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(SvgNames, SafeAndUniqueFileNames) {
    EXPECT_EQ(SafeFileStem("EXPR"), "EXPR");
    EXPECT_EQ(SafeFileStem("a/b c"), "a_b_c");
    EXPECT_EQ(SafeFileStem("../x"), "graph.._x");
    EXPECT_EQ(SafeFileStem(""), "graph");
    EXPECT_EQ(SafeFileStem("\xC3\xA9t\xC3\xA9"), "__t__");

    CGrammer doc;
    lumo_test::AddGraphEdge(doc, 1, 1, "x y");
    lumo_test::AddGraphEdge(doc, 1, 1, "X Y");  // differs only in case
    lumo_test::AddGraphEdge(doc, 1, 1, "x/y");
    lumo_test::TempDir dir;
    const std::vector<std::string> files = ExportSvg(doc, dir.Path("out/deeper"));
    std::vector<std::string> names;
    for (const std::string& f : files) {
        names.push_back(std::filesystem::path(f).filename().string());
        EXPECT_TRUE(std::filesystem::exists(f));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MAIN.svg", "x_y.svg", "X_Y-2.svg", "x_y-3.svg"}));
}

TEST(SvgDrawing, CallsBecomeShapesCroppedToTheDrawing) {
    CGrammer doc;
    doc.AddNode({300, 100});
    doc.ToggleNodeFinal({300, 100});
    lumo_test::AddEdge(doc, 1, 2, "a<b&\"c\"");
    lumo_test::AddEdge(doc, 2, 1, "back");
    lumo_test::AddEdge(doc, 1, 1, std::string("ba\t\xFF\x01", 5));
    CSvgSurface svg;
    doc.Draw(&svg);
    const std::string out = svg.Document("MAIN & co");

    EXPECT_EQ(out.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg", 0), 0u);
    EXPECT_NE(out.find("<title>MAIN &amp; co</title>"), std::string::npos);
    EXPECT_EQ(Count(out, "<ellipse"), 3u);  // two nodes and the loop
    EXPECT_EQ(Count(out, "<path"), 3u);     // the arc and its two barbs
    EXPECT_EQ(Count(out, "<line"), 3u);     // the straight edge and its arrow
    EXPECT_NE(out.find(">a&lt;b&amp;&quot;c&quot;</text>"), std::string::npos);
    // A byte that is not UTF-8 reads as Latin-1; a control character is
    // replaced, since XML cannot carry it, but a tab is kept.
    EXPECT_NE(out.find(">ba\t\xC3\xBF\xEF\xBF\xBD</text>"), std::string::npos);
    EXPECT_NE(out.find("fill=\"#ff0000\""), std::string::npos);
    // The arc of the reference case, on its box (-20, -316, 420, 124), runs
    // counterclockwise (sweep 0) from the ray through node 1 to the ray
    // through node 2, round the bottom.
    EXPECT_NE(out.find("<path d=\"M100.02,99.97 A220,220 0 0,0 299.98,99.97\""), std::string::npos);
    // Cropped to the drawing plus the margin: from the loop's label (left
    // 80, top 68) to node 2's right (315) and the arc's label (bottom 132).
    EXPECT_NE(out.find("width=\"259\" height=\"88\" viewBox=\"68 56 259 88\""), std::string::npos);
}

}  // namespace
