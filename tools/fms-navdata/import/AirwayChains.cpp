#include "import/AirwayChains.h"

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "geo/Geodesy.h"

namespace navimport {

namespace {

struct Graph {
    std::vector<AirwayPoint> nodes;              // in order of first appearance
    std::vector<std::vector<std::size_t>> adjacency;  // node -> edges
    std::vector<std::pair<std::size_t, std::size_t>> edges;
    std::unordered_map<std::string, std::size_t> nodeByKey;
    std::set<std::pair<std::size_t, std::size_t>> edgeSet;
};

std::string pointKey(const AirwayPoint& point) {
    std::string key = point.ident;
    key += '|';
    key += std::to_string(std::lround(point.lat * 1e4));
    key += '|';
    key += std::to_string(std::lround(point.lon * 1e4));
    return key;
}

std::size_t nodeOf(Graph& graph, const AirwayPoint& point) {
    auto [it, inserted] = graph.nodeByKey.emplace(pointKey(point), graph.nodes.size());
    if (inserted) {
        graph.nodes.push_back(point);
        graph.adjacency.emplace_back();
    }
    return it->second;
}

double angleBetween(double a, double b) {
    double difference = std::fabs(std::fmod(a - b, 360.0));
    return difference > 180.0 ? 360.0 - difference : difference;
}

// Walks unused edges from `start`, going straight on at branch points.
WorldAirway walkChain(const Graph& graph, std::vector<bool>& used, std::vector<int>& remaining,
                      std::size_t start, const std::string& name) {
    WorldAirway chain;
    chain.name = name;
    chain.points.push_back(graph.nodes[start]);
    std::size_t current = start;
    bool haveCourse = false;
    double arrivalCourse = 0.0;
    for (;;) {
        std::size_t bestEdge = graph.edges.size();
        double bestTurn = 1000.0;
        const AirwayPoint& here = graph.nodes[current];
        for (std::size_t edge : graph.adjacency[current]) {
            if (used[edge]) continue;
            if (!haveCourse) {
                bestEdge = edge;
                break;
            }
            std::size_t other = graph.edges[edge].first == current ? graph.edges[edge].second : graph.edges[edge].first;
            const AirwayPoint& there = graph.nodes[other];
            double course = initialBearing(GeoPoint{here.lat, here.lon}, GeoPoint{there.lat, there.lon});
            double turn = angleBetween(course, arrivalCourse);
            if (turn < bestTurn) {
                bestTurn = turn;
                bestEdge = edge;
            }
        }
        if (bestEdge == graph.edges.size()) break;
        used[bestEdge] = true;
        std::size_t next = graph.edges[bestEdge].first == current ? graph.edges[bestEdge].second
                                                                   : graph.edges[bestEdge].first;
        --remaining[current];
        --remaining[next];
        const AirwayPoint& there = graph.nodes[next];
        // The course on arrival is the reverse of the course back to where we came from.
        arrivalCourse = initialBearing(GeoPoint{there.lat, there.lon}, GeoPoint{here.lat, here.lon}) + 180.0;
        haveCourse = true;
        chain.points.push_back(there);
        current = next;
    }
    return chain;
}

}  // namespace

std::vector<WorldAirway> buildAirwayChains(const std::vector<SourceSegment>& segments, FileReport& report) {
    std::vector<std::string> names;
    std::map<std::string, Graph> graphs;
    for (const SourceSegment& segment : segments) {
        for (const std::string& name : segment.names) {
            auto [it, inserted] = graphs.try_emplace(name);
            if (inserted) names.push_back(name);
            Graph& graph = it->second;
            std::size_t a = nodeOf(graph, segment.from);
            std::size_t b = nodeOf(graph, segment.to);
            if (a == b) {
                ++report.skipped["segment: from a point to itself"];
                continue;
            }
            if (!graph.edgeSet.emplace(std::min(a, b), std::max(a, b)).second) {
                ++report.skipped["segment: listed again (either direction)"];
                continue;
            }
            graph.adjacency[a].push_back(graph.edges.size());
            graph.adjacency[b].push_back(graph.edges.size());
            graph.edges.emplace_back(a, b);
        }
    }

    std::vector<WorldAirway> airways;
    for (const std::string& name : names) {
        const Graph& graph = graphs[name];
        std::vector<bool> used(graph.edges.size(), false);
        std::vector<int> remaining(graph.nodes.size());
        for (std::size_t n = 0; n < graph.nodes.size(); ++n) remaining[n] = static_cast<int>(graph.adjacency[n].size());
        auto walkFrom = [&](auto startsHere) {
            for (std::size_t n = 0; n < graph.nodes.size(); ++n) {
                while (remaining[n] > 0 && startsHere(n)) {
                    airways.push_back(walkChain(graph, used, remaining, n, name));
                }
            }
        };
        // End points first, then branch points left with an odd number of unused segments,
        // then whatever closed loops remain.
        std::vector<int> degree = remaining;
        walkFrom([&](std::size_t n) { return degree[n] == 1; });
        walkFrom([&](std::size_t n) { return remaining[n] % 2 == 1; });
        walkFrom([&](std::size_t) { return true; });
    }
    return airways;
}

}  // namespace navimport
