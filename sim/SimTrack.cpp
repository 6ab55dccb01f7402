#include "SimTrack.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "SimEarth.h"

namespace {

std::string format(const char* fmt, double a, double b = 0, double c = 0, double d = 0) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, fmt, a, b, c, d);
    return buffer;
}

// Local north-up plane in NM around a reference point.
struct Plane {
    double lat0, lon0, cosLat0;
    double x(double lon) const { return simearth::wrap180(lon - lon0) * 60.0 * cosLat0; }
    double y(double lat) const { return (lat - lat0) * 60.0; }
    double x(const SimTrackPoint& p) const { return x(p.lonDeg); }
    double y(const SimTrackPoint& p) const { return y(p.latDeg); }
};

std::string xmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out += c;
    }
    return out;
}

bool writeFile(const std::string& path, const std::string& text, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out << text;
    if (out) out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

std::string trackCsv(const std::vector<SimTrackPoint>& track) {
    std::string text = "time_s,lat_deg,lon_deg,altitude_ft,heading_true_deg,bank_deg,ground_speed_kt\n";
    for (const SimTrackPoint& p : track) {
        text += format("%.2f,%.7f,", p.timeSeconds, p.latDeg);
        text += format("%.7f,%.1f,", p.lonDeg, p.altitudeFt);
        text += format("%.2f,%.2f,%.1f\n", p.headingTrueDeg, p.bankDeg, p.groundSpeedKt);
    }
    return text;
}

std::string trackSvg(const std::vector<SimTrackPoint>& track, const SimPlotOverlay& overlay) {
    constexpr double kSize = 800.0;
    constexpr double kMargin = 50.0;
    std::string svg = format(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f "
        "%.0f\">\n",
        kSize, kSize, kSize, kSize);
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    if (track.empty()) {
        svg +=
            "<text x=\"50\" y=\"50\" font-family=\"monospace\" font-size=\"16\">no track "
            "recorded</text>\n</svg>\n";
        return svg;
    }
    const Plane plane{track.front().latDeg, track.front().lonDeg,
                      std::cos(track.front().latDeg * simearth::kDegToRad)};
    double minX = 0, maxX = 0, minY = 0, maxY = 0, minAlt = track.front().altitudeFt, maxAlt = minAlt;
    auto extend = [&](double x, double y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    for (const SimTrackPoint& p : track) {
        extend(plane.x(p), plane.y(p));
        minAlt = std::min(minAlt, p.altitudeFt);
        maxAlt = std::max(maxAlt, p.altitudeFt);
    }
    for (const SimPlotLine& l : overlay.lines) {
        extend(plane.x(l.lon0), plane.y(l.lat0));
        extend(plane.x(l.lon1), plane.y(l.lat1));
    }
    for (const SimPlotMark& m : overlay.marks) extend(plane.x(m.lonDeg), plane.y(m.latDeg));
    const double span = std::max({maxX - minX, maxY - minY, 0.5});
    const double scale = (kSize - 2 * kMargin) / span;  // pixels per NM
    const double offsetX = kMargin + ((kSize - 2 * kMargin) - (maxX - minX) * scale) / 2;
    const double offsetY = kMargin + ((kSize - 2 * kMargin) - (maxY - minY) * scale) / 2;
    auto pxAt = [&](double lon) { return offsetX + (plane.x(lon) - minX) * scale; };
    auto pyAt = [&](double lat) { return kSize - (offsetY + (plane.y(lat) - minY) * scale); };
    auto px = [&](const SimTrackPoint& p) { return pxAt(p.lonDeg); };
    auto py = [&](const SimTrackPoint& p) { return pyAt(p.latDeg); };

    for (const SimPlotLine& l : overlay.lines) {
        svg += format(
            "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#909090\" stroke-width=\"2\" "
            "stroke-dasharray=\"8 5\"/>\n",
            pxAt(l.lon0), pyAt(l.lat0), pxAt(l.lon1), pyAt(l.lat1));
    }

    svg += "<polyline fill=\"none\" stroke=\"#0050c0\" stroke-width=\"2\" points=\"";
    for (const SimTrackPoint& p : track) svg += format("%.1f,%.1f ", px(p), py(p));
    svg += "\"/>\n";
    svg += format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"6\" fill=\"#00a000\"/>\n", px(track.front()),
                  py(track.front()));
    svg += format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"6\" fill=\"#d00000\"/>\n", px(track.back()),
                  py(track.back()));

    for (const SimPlotMark& m : overlay.marks) {
        const double x = pxAt(m.lonDeg), y = pyAt(m.latDeg);
        svg += format("<path d=\"M %.1f %.1f l 5 -5 l 5 5 l -5 5 z\" fill=\"#e07000\"/>\n", x - 5, y);
        svg +=
            format("<text x=\"%.1f\" y=\"%.1f\" font-family=\"monospace\" font-size=\"11\">", x + 8, y - 6);
        svg += xmlText(m.label) + "</text>\n";
    }

    // Scale bar of a round number of NM, about a quarter of the plot.
    double bar = 1.0;
    for (double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0, 1000.0}) {
        if (step * scale <= (kSize - 2 * kMargin) / 4) bar = step;
    }
    const double barY = kSize - 20;
    svg += format(
        "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"black\" stroke-width=\"3\"/>\n",
        kMargin, barY, kMargin + bar * scale, barY);
    svg += format("<text x=\"%.1f\" y=\"%.1f\" font-family=\"monospace\" font-size=\"14\">%g NM</text>\n",
                  kMargin + bar * scale + 10, barY + 5, bar);
    if (!overlay.title.empty()) {
        svg += "<text x=\"20\" y=\"25\" font-family=\"monospace\" font-size=\"14\">" +
               xmlText(overlay.title) + "</text>\n";
    } else {
        svg += format(
            "<text x=\"20\" y=\"25\" font-family=\"monospace\" font-size=\"14\">start %.4f %.4f, %.0f s "
            "flown, "
            "altitude %.0f",
            track.front().latDeg, track.front().lonDeg, track.back().timeSeconds - track.front().timeSeconds,
            minAlt);
        svg += format("..%.0f ft (north up; green start, red end)</text>\n", maxAlt);
    }
    svg += "</svg>\n";
    return svg;
}

bool writeTrackFiles(const std::vector<SimTrackPoint>& track, const std::string& prefix, std::string& error) {
    if (prefix.empty()) {
        error = "no file name given";
        return false;
    }
    return writeFile(prefix + ".csv", trackCsv(track), error) &&
           writeFile(prefix + ".svg", trackSvg(track), error);
}
