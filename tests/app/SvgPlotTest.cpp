#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/SvgPlot.h"

namespace {

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(SvgPlotTest, TicksAreRoundNumbersCoveringTheRange) {
    EXPECT_EQ(SvgPlot::Ticks(0, 10, 5), (std::vector<double>{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(SvgPlot::Ticks(-0.3, 0.72, 4), (std::vector<double>{0, 0.5})) << "a step of 0.5 for a range of about 1";
    EXPECT_EQ(SvgPlot::Ticks(-7, 7, 7), (std::vector<double>{-6, -4, -2, 0, 2, 4, 6}));
    EXPECT_EQ(SvgPlot::Ticks(1e6, 5e6, 4), (std::vector<double>{1e6, 2e6, 3e6, 4e6, 5e6}));
    EXPECT_TRUE(SvgPlot::Ticks(3, 3, 5).empty());
}

TEST(SvgPlotTest, OneLinePerSeriesBrokenAtGapsWithASharedEscapedLegend) {
    const double gap = std::numeric_limits<double>::quiet_NaN();
    SvgPlot::Panel before{"Before", "Observation", "Temp <degC>", {}, {}};
    before.series.push_back({"B1", {0, 1, 2, 3}, {1, 2, gap, 4}});
    before.series.push_back({"B&2", {0, 1}, {3, 1}});
    SvgPlot::Panel after{"After", "Point", "Temp", {}, {2.5}};
    after.series.push_back({"B1", {1, 2}, {1, 2}});
    after.series.push_back({"B&2", {1, 2}, {gap, gap}});
    std::ostringstream out;
    SvgPlot::Write(out, "Temp \"trajectories\"", {before, after}, 1);
    const std::string svg = out.str();

    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_EQ(Count(svg, "<path "), 3) << "a series without any point draws nothing";
    EXPECT_EQ(Count(svg, "<title>B1</title>"), 2);
    const std::size_t firstPath = svg.find("<path d=\"");
    const std::string path = svg.substr(firstPath, svg.find('"', firstPath + 9) - firstPath);
    EXPECT_EQ(Count(path, "M"), 2) << "the gap lifts the pen: " << path;
    EXPECT_EQ(Count(path, " L"), 1);
    EXPECT_NE(svg.find("Temp &lt;degC&gt;"), std::string::npos);
    EXPECT_NE(svg.find("Temp &quot;trajectories&quot;"), std::string::npos);
    EXPECT_NE(svg.find(">B1</text>"), std::string::npos);
    EXPECT_EQ(svg.find(">B&amp;2</text>"), std::string::npos) << "beyond the legend's entries";
    EXPECT_NE(svg.find("and 1 more"), std::string::npos);
    EXPECT_EQ(Count(svg, "stroke-dasharray=\"5,4\""), 1) << "one marker";
    EXPECT_EQ(SvgPlot::Colour(0), SvgPlot::Colour(10));
    EXPECT_NE(SvgPlot::Dash(0), SvgPlot::Dash(10));
}

}  // namespace
