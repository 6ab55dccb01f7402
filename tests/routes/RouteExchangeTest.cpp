// fms-route on hand-written files of each format against the sample database, export then
// import of every format, and the errors that must leave the routes folder untouched.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "PlanSteps.h"
#include "RouteExchange.h"
#include "RouteTool.h"
#include "TempDir.h"
#include "TestRecords.h"
#include "flightplan/RouteFiles.h"
#include "navdb/DatabaseLoad.h"
#include "shell/Fms.h"

namespace fs = std::filesystem;

namespace {

using V = std::vector<std::string>;

// The sample database's files linked into the data root `dir`.
void linkSampleData(const TempDir& dir) {
    fs::create_directories(dir.path() / "data");
    for (const auto& e : fs::directory_iterator(fs::path(FMS_SOURCE_DIR) / "data"))
        fs::create_symlink(e.path(), dir.path() / "data" / e.path().filename());
}

// A data root with the sample database, a unit on it, and the tool's requests.
struct Exchange : ::testing::Test {
    TempDir dir;
    Fms context;
    ScopedFms current{context};
    NavDatabase& db = context.navdb.database;

    Exchange() {
        context.platform.dataRoot = dir.str();
        linkSampleData(dir);
        loadDatabaseQuietly(db, dir.str());
    }

    // import FILE (written into the data root) with --name NAME; the error when it fails.
    std::string importFile(const std::string& file, const std::string& text, const std::string& name = "") {
        dir.write(file, text);
        ToolRequest r;
        r.import = true;
        r.file = (dir.path() / file).string();
        r.name = name;
        r.dataRoot = dir.str();
        // The message names the file first.
        std::string error = run(r);
        const std::string prefix = r.file + ": ";
        return error.rfind(prefix, 0) == 0 ? error.substr(prefix.size()) : error;
    }
    std::string importIcao(const std::string& route, const std::string& name) {
        ToolRequest r;
        r.import = true;
        r.icao = route;
        r.icaoGiven = true;
        r.name = name;
        r.dataRoot = dir.str();
        std::string error = run(r);
        return error.rfind("route string: ", 0) == 0 ? error.substr(14) : error;
    }
    std::string exportAs(const std::string& name, RouteFormat format) {
        ToolRequest r;
        r.name = name;
        r.format = format;
        r.dataRoot = dir.str();
        ToolOutput out;
        std::string error;
        EXPECT_TRUE(exportRoute(db, r, out, error)) << error;
        return out.text;
    }
    std::string run(const ToolRequest& r) {
        ToolOutput out;
        std::string error;
        if (!importRoute(db, r, out, error)) return error;
        lastOutput = out;
        return "";
    }
    // The route as the route list loads it.
    V loaded(const std::string& name) {
        EXPECT_TRUE(readRouteFile(name)) << name;
        return planIdents();
    }
    bool stored(const std::string& name) { return fs::exists(dir.path() / "data/Routes" / (name + ".txt")); }

    ToolOutput lastOutput;
};

const V kRoute{"KSEA", "SEA", "ORTIN", "MOUNT", "ELN", "KPAE"};

TEST_F(Exchange, HandWrittenFilesOfEveryFormatGiveTheSameRoute) {
    // X-Plane 11, with its procedures, and the older layout without the via column.
    EXPECT_EQ(
        importFile("a.fms",
                   "I\n1100 Version\nCYCLE 1310\nADEP KSEA\nDEPRWY RW16L\nSID MILLT2\nSIDTRANS OLM\n"
                   "ADES KPAE\nDESRWY RW16R\nSTAR STILY2\nSTARTRANS CVV\nAPP I16R\nAPPTRANS EYWOK\nNUMENR 6\n"
                   "1 KSEA ADEP 433.000000 47.449888 -122.311777\n"
                   "3 SEA DRCT 0.000000 47.435361 -122.309611\n"
                   "11 ORTIN DRCT 0.000000 47.125436 -122.170811\n"
                   "11 MOUNT V187 0.000000 47.105325 -121.904858\n"
                   "3 ELN V187 0.000000 47.024350 -120.458397\n"
                   "1 KPAE ADES 606.000000 47.906 -122.279\n"),
        "");
    EXPECT_EQ(lastOutput.text, "stored route A with 6 waypoints\n");
    // Loaded with its SID, STAR, approach transition and ILS from the procedure files.
    V withProcedures = loaded("A");
    EXPECT_EQ(withProcedures.front(), "KSEA");
    EXPECT_GT(withProcedures.size(), 14u);
    ASSERT_TRUE(context.flightplan.selections.sidTransition);
    EXPECT_EQ(context.flightplan.selections.sidTransition->transitionName, "OLM");
    ASSERT_TRUE(context.flightplan.selections.approach);
    EXPECT_EQ(context.flightplan.selections.approach->typeText, "ILS");
    ASSERT_TRUE(context.flightplan.selections.approachTransition);

    EXPECT_EQ(
        importFile(
            "old.fms",
            "I\n3 version\n1\n5\n1 KSEA 433.000000 47.449888 -122.311777\n3 SEA 0.0 47.435361 -122.309611\n"
            "11 ORTIN 0.0 47.125436 -122.170811\n11 MOUNT 0.0 47.105325 -121.904858\n"
            "3 ELN 0.0 47.024350 -120.458397\n1 KPAE 606.0 47.906 -122.279\n",
            "OLD"),
        "");
    EXPECT_EQ(loaded("OLD"), kRoute);

    EXPECT_EQ(importFile("b.pln", R"(<?xml version="1.0" encoding="UTF-8"?>
<SimBase.Document Type="AceXML" version="1,0">
  <FlightPlan.FlightPlan>
    <DepartureID>KSEA</DepartureID>
    <DestinationID>KPAE</DestinationID>
    <ATCWaypoint id="KSEA"><ATCWaypointType>Airport</ATCWaypointType>
      <WorldPosition>N47° 27' 0.60",W122° 18' 44.35",+000433.00</WorldPosition><ICAO><ICAOIdent>KSEA</ICAOIdent></ICAO></ATCWaypoint>
    <ATCWaypoint id="SEA"><ATCWaypointType>VOR</ATCWaypointType>
      <WorldPosition>N47° 26' 7.30",W122° 18' 34.60",+000000.00</WorldPosition><ICAO><ICAOIdent>SEA</ICAOIdent></ICAO></ATCWaypoint>
    <ATCWaypoint id="ORTIN"><ATCWaypointType>Intersection</ATCWaypointType>
      <WorldPosition>N47° 7' 31.57",W122° 10' 14.92",+000000.00</WorldPosition><ICAO><ICAOIdent>ORTIN</ICAOIdent></ICAO></ATCWaypoint>
    <ATCWaypoint id="MOUNT"><ATCWaypointType>Intersection</ATCWaypointType><ATCAirway>V187</ATCAirway>
      <WorldPosition>N47° 6' 19.17",W121° 54' 17.49",+000000.00</WorldPosition><ICAO><ICAOIdent>MOUNT</ICAOIdent></ICAO></ATCWaypoint>
    <ATCWaypoint id="ELN"><ATCWaypointType>VOR</ATCWaypointType>
      <WorldPosition>N47° 1' 27.66",W120° 27' 30.23",+000000.00</WorldPosition><ICAO><ICAOIdent>ELN</ICAOIdent></ICAO></ATCWaypoint>
    <ATCWaypoint id="KPAE"><ATCWaypointType>Airport</ATCWaypointType>
      <WorldPosition>N47° 54' 21.53",W122° 16' 44.91",+000606.00</WorldPosition><ICAO><ICAOIdent>KPAE</ICAOIdent></ICAO></ATCWaypoint>
  </FlightPlan.FlightPlan>
</SimBase.Document>
)"),
              "");
    EXPECT_EQ(loaded("B"), kRoute);

    EXPECT_EQ(importFile("c.xml", R"(<?xml version="1.0"?>
<PropertyList>
  <version type="int">2</version>
  <departure><airport type="string">KSEA</airport><runway type="string">16L</runway></departure>
  <destination><airport type="string">KPAE</airport></destination>
  <route>
    <wp n="0"><type type="string">runway</type><ident type="string">16L</ident></wp>
    <wp n="1"><type type="string">navaid</type><ident type="string">SEA</ident><lon type="double">-122.3096</lon><lat type="double">47.4354</lat></wp>
    <wp n="2"><type type="string">navaid</type><ident type="string">ORTIN</ident><lon type="double">-122.1708</lon><lat type="double">47.1254</lat></wp>
    <wp n="3"><type type="string">navaid</type><ident type="string">MOUNT</ident></wp>
    <wp n="4"><type type="string">navaid</type><ident type="string">ELN</ident><lon type="double">-120.4584</lon><lat type="double">47.0244</lat></wp>
  </route>
</PropertyList>
)",
                         "FG"),
              "");
    EXPECT_EQ(loaded("FG"), kRoute);

    EXPECT_EQ(importFile("d.gpx", R"(<?xml version="1.0"?>
<gpx version="1.1" creator="hand" xmlns="http://www.topografix.com/GPX/1/1"><rte>
<rtept lat="47.4502" lon="-122.3123"><name>KSEA</name><type>Airport</type></rtept>
<rtept lat="47.4354" lon="-122.3096"><name>sea</name></rtept>
<rtept lat="47.1254" lon="-122.1708"><name>ORTIN</name></rtept>
<rtept lat="47.1053" lon="-121.9049"><name>MOUNT</name></rtept>
<rtept lat="47.0244" lon="-120.4584"><name>ELN</name></rtept>
<rtept lat="47.9060" lon="-122.2791"><name>KPAE</name></rtept>
</rte></gpx>
)"),
              "");
    EXPECT_EQ(loaded("D"), kRoute);

    // The ICAO string: V187 expanded between ORTIN and ELN, the SID left to the DEPARTURE page.
    EXPECT_EQ(importIcao("N0250F120 KSEA/16L MILLT2 SEA DCT ORTIN V187 ELN KPAE", "ICAO"), "");
    ASSERT_EQ(lastOutput.notes.size(), 1u);
    EXPECT_NE(lastOutput.notes[0].find("MILLT2"), std::string::npos);
    EXPECT_EQ(loaded("ICAO"), (V{"KSEA", "SEA", "ORTIN", "MOUNT", "RADDY", "THICK", "ELN", "KPAE"}));
    // Backwards along the airway, from ELN to OLM.
    EXPECT_EQ(importIcao("KPAE ELN V187 OLM KSEA", "BACK"), "");
    EXPECT_EQ(loaded("BACK"),
              (V{"KPAE", "ELN", "THICK", "RADDY", "MOUNT", "ORTIN", "COTNY", "TCM", "AFGAP", "OLM", "KSEA"}));
}

TEST_F(Exchange, AnIdentifierNotInTheDatabaseIsAnErrorNamingItAndItsLineAndNothingIsWritten) {
    EXPECT_EQ(importFile("bad.fms",
                         "I\n1100 Version\nNUMENR 3\n1 KSEA ADEP 433.0 47.449888 -122.311777\n"
                         "11 NOSUCH DRCT 0.0 47.1 -122.1\n1 KPAE ADES 606.0 47.906 -122.279\n"),
              "line 5: NOSUCH is not in the database near the position given");
    EXPECT_FALSE(stored("BAD"));
    // A namesake on another continent is no match for the position the file gives.
    EXPECT_EQ(importFile("far.gpx",
                         "<gpx><rte><rtept lat=\"47.45\" lon=\"-122.31\"><name>KSEA</name></rtept>\n"
                         "<rtept lat=\"-33.9\" lon=\"151.2\"><name>SEA</name></rtept></rte></gpx>"),
              "line 2: SEA is not in the database near the position given");
    EXPECT_FALSE(stored("FAR"));
    EXPECT_EQ(importIcao("KSEA SEA\nORTIN J999 ELN KPAE", "ERR"), "line 2: J999 is not in the database");
    EXPECT_EQ(importIcao("KSEA ORTIN V187 KPAE", "ERR"),
              "line 1: airway V187 does not lead from ORTIN to KPAE");
    EXPECT_FALSE(stored("ERR"));
    // Files that are not of their format, and names that would leave the routes folder.
    EXPECT_EQ(importFile("x.pln", "<a><b></a>").substr(0, 27), "line 1: not well-formed XML");
    EXPECT_EQ(importFile("x.gpx", "<gpx><rte><rtept lat=\"95\" lon=\"0\"><name>A</name></rtept></rte></gpx>"),
              "line 1: point A has no valid lat and lon");
    EXPECT_EQ(importFile("y.fms", "hello\n"), "line 1: not an X-Plane flight plan (it begins with I or A)");
    EXPECT_NE(
        importFile("ok.fms", "I\n1100 Version\n1 KSEA ADEP 0 47.45 -122.31\n", "../../X").find("route name"),
        std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path() / "X.txt"));
    EXPECT_EQ(listRouteNames(dir.str()), V{});
}

TEST_F(Exchange, ExportThenImportGivesTheSamePlanInEveryFormat) {
    ASSERT_EQ(importFile("a.fms",
                         "I\n1100 Version\nADEP KSEA\nDEPRWY RW16L\nSID MILLT2\nSIDTRANS OLM\nADES KPAE\n"
                         "DESRWY RW16R\nSTAR STILY2\nSTARTRANS CVV\nAPP I16R\nAPPTRANS EYWOK\n"
                         "1 KSEA ADEP 433.0 47.449888 -122.311777\n3 SEA DRCT 0.0 47.435361 -122.309611\n"
                         "11 ORTIN DRCT 0.0 47.125436 -122.170811\n2 BF DRCT 0.0 47.632528 -122.389528\n"
                         "1 KPAE ADES 606.0 47.906 -122.279\n",
                         "ORIG"),
              "");
    const V original = loaded("ORIG");
    const std::string originalFile = dir.read("data/Routes/ORIG.txt");
    for (RouteFormat f :
         {RouteFormat::Fms, RouteFormat::Pln, RouteFormat::Fgfs, RouteFormat::Gpx, RouteFormat::Icao}) {
        const std::string text = exportAs("ORIG", f);
        const std::string file = std::string("out.") + formatWord(f);
        ASSERT_EQ(importFile(file, text, "AGAIN"), "") << formatWord(f) << "\n" << text;
        const V again = loaded("AGAIN");
        if (f == RouteFormat::Fms) {
            // The X-Plane plan carries every procedure: the same plan, leg for leg.
            EXPECT_EQ(again, original) << formatWord(f);
        }
        // Every format carries the waypoints: the same route file apart from procedures.
        const std::string againFile = dir.read("data/Routes/AGAIN.txt");
        const std::string waypointsOnly = originalFile.substr(0, originalFile.find("[DEPARTURE RUNWAY]"));
        EXPECT_EQ(againFile.substr(0, waypointsOnly.size()), waypointsOnly) << formatWord(f) << "\n" << text;
    }
    // The ICAO string names the SID and STAR where a planner expects them.
    EXPECT_EQ(exportAs("ORIG", RouteFormat::Icao), "KSEA MILLT2 SEA DCT ORTIN DCT BF STILY2 KPAE\n");
}

TEST(ExchangeResolve, NamesakesResolveNearThePreviousPointAndAirwaysBetweenTheirEnds) {
    NavDatabase db;
    addAirport(db, "KAAA", 47.0f, -122.0f);
    addNavaid(db, "ABC", NavaidType::Vor, -30.0f, 150.0f);
    addNavaid(db, "ABC", NavaidType::Vor, 47.5f, -122.0f);
    addNavaid(db, "ILX", NavaidType::Localizer, 47.6f, -122.0f);
    addFix(db, "FIXAA", 48.0f, -122.0f);
    addFix(db, "AB12", 47.2f, -122.0f);  // a fix named like an airway
    addFix(db, "FX12", 48.5f, -122.0f);
    Airway j1;
    j1.name = "J1";
    j1.segments.push_back({"ABC", 47.5f, -122.0f, 0, "FIXAA", 48.0f, -122.0f, 0, 30});
    j1.segments.push_back({"FIXAA", 48.0f, -122.0f, 0, "FX12", 48.5f, -122.0f, 0, 30});
    db.airways.push_back(j1);
    markDatabaseLoaded(db);
    ExchangeRoute route;
    std::string error;
    ASSERT_TRUE(readIcaoRoute("KAAA AB12 ABC J1 FX12", route, error)) << error;
    std::vector<FplLeg> legs;
    ASSERT_TRUE(resolveRoute(db, route, legs, error)) << error;
    ASSERT_EQ(legs.size(), 5u);
    EXPECT_EQ(legs[1].ident, "AB12");
    EXPECT_EQ(legs[2].dbIndex, 1);  // the ABC near KAAA, not the first in the list
    EXPECT_EQ(legs[3].ident, "FIXAA");
    EXPECT_EQ(legs[4].ident, "FX12");
    // A localizer is no route waypoint.
    ASSERT_TRUE(readIcaoRoute("KAAA ILX", route, error));
    EXPECT_FALSE(resolveRoute(db, route, legs, error));
    EXPECT_EQ(error, "line 1: ILX is not in the database");
}

// The program itself: output, exit status and messages as documented.
TEST(ExchangeCommand, ExitStatusAndOutput) {
    TempDir dir;
    linkSampleData(dir);
    const std::string tool = FMS_ROUTE_TOOL;
    auto run = [&](const std::string& args, std::string& out) {
        const std::string command = tool + " " + args + " --data " + dir.str() + " 2>" + dir.str() + "/err";
        FILE* p = popen(command.c_str(), "r");
        out.clear();
        char buffer[512];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
        const int status = pclose(p);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string out;
    EXPECT_EQ(run("import --icao 'KSEA SEA ORTIN KPAE' --name T1", out), 0);
    EXPECT_EQ(out, "stored route T1 with 4 waypoints\n");
    EXPECT_EQ(run("export T1 --format icao", out), 0);
    EXPECT_EQ(out, "KSEA DCT SEA DCT ORTIN DCT KPAE\n");
    EXPECT_EQ(run("export T1 --format gpx -o " + dir.str() + "/t1.gpx", out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(run("import " + dir.str() + "/t1.gpx", out), 0);
    EXPECT_EQ(out, "stored route T1 with 4 waypoints\n");
    EXPECT_EQ(run("import --icao 'KSEA NOWHERE KPAE' --name T2", out), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(dir.read("err"), "fms-route: route string: line 1: NOWHERE is not in the database\n");
    EXPECT_EQ(run("export NONE --format fms", out), 1);
    EXPECT_EQ(run("import", out), 1);
    EXPECT_EQ(listRouteNames(dir.str()), V{"T1"});
}

}  // namespace
