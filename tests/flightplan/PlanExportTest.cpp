#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "PlanFixture.h"
#include "flightplan/PlanExport.h"
#include "platform/Files.h"

namespace {

using PlanExport = PlanFixture;

std::string slurp(std::istream& in) {
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(PlanExport, EveryChangeWritesTheWaypointsWithALatitude) {
    loaded();
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "data/Routes"));
    appendLeg(waypoint("KSEA", 47.449889f, -122.311778f, WaypointKind::Airport));
    EXPECT_EQ(dir.read("data/Routes/fsPlan.pln"), "KSEA,47.4499,-122.312\n");

    FplLeg gap;
    gap.waypointKind = WaypointKind::Gap;
    build({waypoint("EQTR", 0.0f, 12.0f), gap, waypoint("TINY", 45.0f, 0.00001f),
           waypoint("SOUTH", -33.5f, 151.25f)});
    EXPECT_EQ(dir.read("data/Routes/fsPlan.pln"),
              "KSEA,47.4499,-122.312\n"
              "TINY,45,1e-05\n"
              "SOUTH,-33.5,151.25\n");

    deleteLeg(0);
    EXPECT_EQ(dir.read("data/Routes/fsPlan.pln"), "TINY,45,1e-05\nSOUTH,-33.5,151.25\n");
}

TEST_F(PlanExport, ReplacementIsAtomicAndLeavesNoTemporaryFiles) {
    loaded();
    build({waypoint("OLD1", 10.0f, 10.0f), waypoint("OLD2", 11.0f, 10.0f)});
    const std::filesystem::path file = dir.path() / "data/Routes/fsPlan.pln";
    const std::string before = "OLD1,10,10\nOLD2,11,10\n";
    // A reader that opened the file before the rewrite keeps reading the whole old file: the
    // new text never goes into the file it has open.
    std::ifstream reader(file, std::ios::binary);
    ASSERT_TRUE(reader);

    fp.plan.legs.clear();
    build({waypoint("NEWWAYPT", 20.0f, 20.0f)});
    EXPECT_EQ(slurp(reader), before);
#ifdef _WIN32
    // Windows refuses to replace a file that another program holds open: the old file stays
    // whole, and the next change after the reader has let go replaces it.
    EXPECT_EQ(dir.read("data/Routes/fsPlan.pln"), before);
    reader.close();
    fp.plan.legs.clear();
    build({waypoint("NEWWAYPT", 20.0f, 20.0f)});
#endif
    EXPECT_EQ(dir.read("data/Routes/fsPlan.pln"), "NEWWAYPT,20,20\n");

    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path() / "data/Routes"))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"fsPlan.pln"});
}

TEST_F(PlanExport, AFolderThatCannotBeMadeIsSkipped) {
    dir.write("data/Routes", "a file where the folder should be");
    loaded();
    appendLeg(waypoint("A", 1.0f, 1.0f));  // must not throw or crash
    EXPECT_EQ(planLegCount(), 1);
    EXPECT_EQ(dir.read("data/Routes"), "a file where the folder should be");
    EXPECT_FALSE(writeFileAtomically((dir.path() / "data/Routes/x.pln").string(), "text"));
}

}  // namespace
