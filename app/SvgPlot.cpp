#include "app/SvgPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace SvgPlot {

namespace {

constexpr double kPanelWidth = 560;
constexpr double kPanelHeight = 380;
constexpr double kLeft = 72;  // room for the y tick labels and the y label
constexpr double kRight = 20;
constexpr double kTop = 56;     // the chart's title and the panel's title
constexpr double kBottom = 56;  // the x tick labels and the x label
constexpr double kLegendWidth = 190;
constexpr double kLegendLine = 18;
constexpr std::size_t kPaletteSize = 10;

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    void Add(double v) {
        if (!std::isfinite(v)) return;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    // A range with some width and a margin, [0, 1] when nothing was added.
    void Finish() {
        if (!std::isfinite(low)) {
            low = 0;
            high = 1;
        }
        if (high - low < 1e-12 * std::max(1.0, std::fabs(high))) {
            low -= 0.5;
            high += 0.5;
        }
        const double margin = (high - low) * 0.04;
        low -= margin;
        high += margin;
    }
};

std::string Number(double v) {
    if (std::fabs(v) < 1e-12) v = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string Coordinate(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

void WritePanel(std::ostream& out, const Panel& panel, double originX) {
    Range xs, ys;
    for (const Series& series : panel.series)
        for (std::size_t i = 0; i < series.x.size() && i < series.y.size(); ++i)
            if (std::isfinite(series.x[i]) && std::isfinite(series.y[i])) {
                xs.Add(series.x[i]);
                ys.Add(series.y[i]);
            }
    for (const double marker : panel.markers) xs.Add(marker);
    xs.Finish();
    ys.Finish();

    const double left = originX + kLeft;
    const double right = originX + kPanelWidth - kRight;
    const double top = kTop;
    const double bottom = kPanelHeight - kBottom;
    const auto px = [&](double x) { return left + (x - xs.low) / (xs.high - xs.low) * (right - left); };
    const auto py = [&](double y) { return bottom - (y - ys.low) / (ys.high - ys.low) * (bottom - top); };

    out << "<g class=\"panel\">\n";
    out << "<text x=\"" << Coordinate((left + right) / 2) << "\" y=\"" << Coordinate(top - 10)
        << "\" text-anchor=\"middle\" font-size=\"14\" font-weight=\"bold\">" << Escape(panel.title) << "</text>\n";
    out << "<rect x=\"" << Coordinate(left) << "\" y=\"" << Coordinate(top) << "\" width=\"" << Coordinate(right - left)
        << "\" height=\"" << Coordinate(bottom - top) << "\" fill=\"white\" stroke=\"#444\"/>\n";

    // Grid lines and tick labels.
    for (const double tick : Ticks(xs.low, xs.high, 6)) {
        const std::string x = Coordinate(px(tick));
        out << "<line x1=\"" << x << "\" y1=\"" << Coordinate(top) << "\" x2=\"" << x << "\" y2=\""
            << Coordinate(bottom) << "\" stroke=\"#e4e4e4\"/>\n";
        out << "<text x=\"" << x << "\" y=\"" << Coordinate(bottom + 16) << "\" text-anchor=\"middle\">" << Number(tick)
            << "</text>\n";
    }
    for (const double tick : Ticks(ys.low, ys.high, 6)) {
        const std::string y = Coordinate(py(tick));
        out << "<line x1=\"" << Coordinate(left) << "\" y1=\"" << y << "\" x2=\"" << Coordinate(right) << "\" y2=\""
            << y << "\" stroke=\"#e4e4e4\"/>\n";
        out << "<text x=\"" << Coordinate(left - 6) << "\" y=\"" << y << "\" text-anchor=\"end\" dy=\"0.35em\">"
            << Number(tick) << "</text>\n";
    }
    out << "<text x=\"" << Coordinate((left + right) / 2) << "\" y=\"" << Coordinate(bottom + 40)
        << "\" text-anchor=\"middle\">" << Escape(panel.xLabel) << "</text>\n";
    const std::string labelX = Coordinate(originX + 18);
    const std::string labelY = Coordinate((top + bottom) / 2);
    out << "<text x=\"" << labelX << "\" y=\"" << labelY << "\" text-anchor=\"middle\" transform=\"rotate(-90 "
        << labelX << ' ' << labelY << ")\">" << Escape(panel.yLabel) << "</text>\n";

    for (const double marker : panel.markers) {
        const std::string x = Coordinate(px(marker));
        out << "<line x1=\"" << x << "\" y1=\"" << Coordinate(top) << "\" x2=\"" << x << "\" y2=\""
            << Coordinate(bottom) << "\" stroke=\"#888\" stroke-dasharray=\"5,4\"/>\n";
    }

    // One path per series; a point that is not finite lifts the pen.
    for (std::size_t s = 0; s < panel.series.size(); ++s) {
        const Series& series = panel.series[s];
        std::string path;
        bool penDown = false;
        for (std::size_t i = 0; i < series.x.size() && i < series.y.size(); ++i) {
            if (!std::isfinite(series.x[i]) || !std::isfinite(series.y[i])) {
                penDown = false;
                continue;
            }
            path += penDown ? " L" : (path.empty() ? "M" : " M");
            path += Coordinate(px(series.x[i])) + ' ' + Coordinate(py(series.y[i]));
            penDown = true;
        }
        if (path.empty()) continue;
        out << "<path d=\"" << path << "\" fill=\"none\" stroke=\"" << Colour(s) << "\"" << Dash(s)
            << " stroke-width=\"1.3\" stroke-linejoin=\"round\"><title>" << Escape(series.name) << "</title></path>\n";
    }
    out << "</g>\n";
}

}  // namespace

std::string Dash(std::size_t index) {
    switch (index / kPaletteSize % 3) {
        case 1:
            return " stroke-dasharray=\"7,3\"";
        case 2:
            return " stroke-dasharray=\"2,2\"";
        default:
            return "";
    }
}

std::string Colour(std::size_t index) {
    static const char* const kPalette[] = {"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd",
                                           "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
    return kPalette[index % kPaletteSize];
}

std::string Escape(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&apos;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::vector<double> Ticks(double low, double high, int count) {
    std::vector<double> ticks;
    if (!(high > low) || count < 1) return ticks;
    const double rough = (high - low) / count;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= rough) {
            step = factor * power;
            break;
        }
    for (double tick = std::ceil(low / step) * step; tick <= high + step * 1e-9; tick += step) ticks.push_back(tick);
    return ticks;
}

void Write(std::ostream& out, const std::string& title, const std::vector<Panel>& panels, int legendEntries) {
    // The legend lists the names of the panel with the most series.
    std::vector<std::string> names;
    for (const Panel& panel : panels)
        if (panel.series.size() > names.size()) {
            names.clear();
            for (const Series& series : panel.series) names.push_back(series.name);
        }
    const std::size_t shown = std::min<std::size_t>(names.size(), static_cast<std::size_t>(std::max(legendEntries, 0)));
    const double width = kPanelWidth * static_cast<double>(std::max<std::size_t>(panels.size(), 1)) + kLegendWidth;
    const double height =
        std::max(kPanelHeight, kTop + 30 + kLegendLine * static_cast<double>(shown + (shown < names.size() ? 1 : 0)));

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Coordinate(width) << "\" height=\""
        << Coordinate(height) << "\" viewBox=\"0 0 " << Coordinate(width) << ' ' << Coordinate(height)
        << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<title>" << Escape(title) << "</title>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#fafafa\"/>\n"
        << "<text x=\"" << Coordinate(width / 2) << "\" y=\"22\" text-anchor=\"middle\" font-size=\"16\">"
        << Escape(title) << "</text>\n";
    for (std::size_t p = 0; p < panels.size(); ++p) WritePanel(out, panels[p], kPanelWidth * static_cast<double>(p));

    const double legendX = kPanelWidth * static_cast<double>(panels.size()) + 10;
    out << "<g class=\"legend\">\n<text x=\"" << Coordinate(legendX) << "\" y=\"" << Coordinate(kTop - 10)
        << "\" font-weight=\"bold\">Legend</text>\n";
    for (std::size_t i = 0; i < shown; ++i) {
        const double y = kTop + 8 + kLegendLine * static_cast<double>(i);
        out << "<line x1=\"" << Coordinate(legendX) << "\" y1=\"" << Coordinate(y) << "\" x2=\""
            << Coordinate(legendX + 24) << "\" y2=\"" << Coordinate(y) << "\" stroke=\"" << Colour(i) << "\"" << Dash(i)
            << " stroke-width=\"2.5\"/>\n"
            << "<text x=\"" << Coordinate(legendX + 30) << "\" y=\"" << Coordinate(y) << "\" dy=\"0.35em\">"
            << Escape(names[i]) << "</text>\n";
    }
    if (shown < names.size())
        out << "<text x=\"" << Coordinate(legendX) << "\" y=\"" << Coordinate(kTop + 8 + kLegendLine * shown)
            << "\" dy=\"0.35em\">… and " << names.size() - shown << " more</text>\n";
    out << "</g>\n</svg>\n";
}

}  // namespace SvgPlot
