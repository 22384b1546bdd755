#pragma once
// SvgPlot: line charts as a standalone SVG document that a browser shows as it is. A chart has one
// or more panels side by side, each with its own axes (ticks at 1, 2 or 5 times a power of ten,
// the data range padded a little), title and axis labels; the series of all panels share one
// legend on the right, where a series name has one colour in every panel. A series is drawn as one
// line through its points in order; a point whose x or y is not finite (NaN) breaks the line.
// Vertical markers (for example where a phase ends) are dashed grey lines across a panel.

#include <ostream>
#include <string>
#include <vector>

namespace SvgPlot {

struct Series {
    std::string name;
    std::vector<double> x;
    std::vector<double> y;  // as many as x
};

struct Panel {
    std::string title;
    std::string xLabel;
    std::string yLabel;
    std::vector<Series> series;
    std::vector<double> markers;  // x positions of vertical dashed lines
};

// Writes the document: `title` above the panels, then the panels, then the legend (at most
// `legendEntries` names, then "… and n more").
void Write(std::ostream& out, const std::string& title, const std::vector<Panel>& panels, int legendEntries = 30);

// The colour of series `index` (cycling through a palette of 10 distinct colours), and its dash
// pattern as an SVG attribute with a leading blank: solid for the first 10 series, dashed for the
// next 10, dotted for the 10 after, then again, so that up to 30 series look different.
std::string Colour(std::size_t index);
std::string Dash(std::size_t index);

// `text` with &, <, >, " and ' written as XML entities.
std::string Escape(const std::string& text);

// Tick positions covering [low, high] at a step of 1, 2 or 5 times a power of ten, about `count`
// of them.
std::vector<double> Ticks(double low, double high, int count);

}  // namespace SvgPlot
