#include <gtest/gtest.h>

#include <sstream>

#include "Fms.h"
#include "TempDir.h"
#include "navdb/Procedures.h"

namespace {
// One procedure file with every kind of block, as the departure and arrival pages meet it.
const char* const kProcFile =
    "SID,DEP1,09,2\n"
    "TF,ARTIP,52.5,5.5,0,SPY,0,0,90,0,0,3000,0,0,0\n"
    "CA,0,90,0,1500,0,0,0\n"
    "SID,BOGUS,X,1\n"  // a header inside an open block is a leg line
    "TF,SHORT,1,2\n"   // too short for its path terminator: dropped
    "\n"
    "TF,OUTSIDE,1,2,0,X,0,0,0,0,0,0,0,0,0\n"  // outside any block: ignored
    "SID,DEP1,TRANS1,2\n"
    "DF,SPY,52.5,4.8,0,SPY,0,0,0,5000,0,0,0\n"
    "\n"
    "STAR,ARR1,27,1\n"
    "TF,EELDE,53.1,6.6,0,EEL,0,0,180,0,0,4000,0,0,0\n"
    "\n"
    "STAR,ARR1,TRANS1,1\n"
    "IF,NORKU,52.2,4.1,EEL,0,0,0,6000,0,0,0\n"
    "\n"
    "STAR,ARR1,TRANS2,1\n"
    "\n"
    "STAR,ARR2,TRANS1,1\n"
    "\n"
    "STAR,ARR1,TRANS3,1\n"
    "\n"
    "FINAL,I09,09,I,3,110.55,IAM\n"
    "IF,ARTIP,52.5,5.5,IAM,0,0,0,2000,0,0,0\n"
    "TF,RW09,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n"
    "TF,THIRD,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n"
    "TF,FOURTH,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n"
    "TF,FIFTH,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n"
    "\n"
    "FINAL,X09,09,X,3,0,0\n"
    "TF,IGNOR,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n"
    "\n"
    "FINAL,R09Y,09,R,4\n"
    "IF,SUGOL,52.5,3.9,SPY,0,0,0,3000,0,0,0\n"
    "TF,RW09,52.3,4.7,0,SPY,0,0,90,0,0,0,0,0,0\n"
    "HM\n"
    "\n"
    "FINAL,I27,27,I,2,111.1,IBB\n"
    "TF,RW27,52.3,4.8,0,IBB,0,0,270,0,0,0,0,0,0\n"
    "\n"
    "APPTR,I09,09,ARTIP\n"
    "IF,ARTIP,52.5,5.5,IAM,0,0,0,2000,0,0,0\n"
    "\n"
    "APPTR,R09Y,09,SUGOL\n"
    "TF,SUGOL,52.5,3.9,0,SPY,0,0,90,0,0,0,0,0,0\n"
    "\n"
    "APPTR,I09,09,SPY\n"
    "\n"
    "APPTR,I27,27,NORKU\n"
    "\n"
    "SID,DEP3,09,1\n"  // the last block is never ended: not attached
    "TF,LOST1,1,2,0,X,0,0,0,0,0,0,0,0,0\n"
    "FINAL,D09,09,D,3\n";

Airport testAirport() {
    Airport a;
    a.ident = "EHXX";
    a.dbIndex = 17;
    a.runways.resize(2);
    a.runways[0].ident = "09";
    a.runways[1].ident = "27";
    a.selectedRunwayIndex = 0;
    a.selectedRunwayIdent = "09";
    return a;
}

std::vector<std::string> idents(const std::vector<FplLeg>& legs) {
    std::vector<std::string> out;
    for (const FplLeg& l : legs) out.push_back(l.ident);
    return out;
}

// Everything the SID/STAR readers attach, as one text, to compare two reads.
std::string describe(const Airport& a, const ProcedureLists& lists) {
    std::ostringstream s;
    for (const Runway& r : a.runways) {
        s << r.ident << ':';
        for (const auto* list : {&r.sids, &r.stars})
            for (const Procedure& p : *list) {
                s << p.name << '/' << p.runwayIdent << '/' << p.transitionName << '/' << p.routeType << '(';
                for (const FplLeg& l : p.legs) s << static_cast<int>(l.legType) << l.ident << ',';
                s << ')';
            }
    }
    for (const auto* menu : {&lists.sidMenu, &lists.starMenu})
        for (const MenuEntry& e : *menu) s << e.name << e.text << e.position << ';';
    return s.str();
}
}  // namespace

TEST(SidReader, RunwayPartsTransitionsMenuAndBlockRules) {
    Airport a = testAirport();
    ProcedureLists lists;
    readSids(a, lists, kProcFile);
    EXPECT_EQ(a.sidsLoaded, 1);

    const std::vector<Procedure>& r09 = a.runways[0].sids;
    const std::vector<Procedure>& r27 = a.runways[1].sids;
    ASSERT_EQ(r09.size(), 2u);
    ASSERT_EQ(r27.size(), 1u);  // DEP3 never ended, so not attached

    // A header naming a runway: that runway only, transition "NONE".
    const Procedure& dep1 = r09[0];
    EXPECT_EQ(dep1.name, "DEP1");
    EXPECT_EQ(dep1.runwayIdent, "09");
    EXPECT_EQ(dep1.transitionName, "NONE");
    EXPECT_EQ(dep1.routeType, 2);
    EXPECT_EQ(dep1.airportIndex, 17);
    EXPECT_EQ(dep1.selectionFlag, 0);
    EXPECT_EQ(dep1.selectionIndex, -1);
    EXPECT_EQ(dep1.listPosition, -1);
    ASSERT_EQ(dep1.legs.size(), 3u);
    EXPECT_EQ(dep1.legs[0].legType, LegType::TF);
    EXPECT_EQ(dep1.legs[0].ident, "ARTIP");
    EXPECT_EQ(dep1.legs[0].waypointKind, WaypointKind::Fix);  // 5-character field 1
    EXPECT_EQ(dep1.legs[0].altitudeFt, 3000);
    EXPECT_EQ(dep1.legs[0].departureProcLeg, 1);
    EXPECT_EQ(dep1.legs[1].legType, LegType::CA);
    EXPECT_EQ(dep1.legs[1].waypointKind, WaypointKind::None);  // field 1 is "0"
    EXPECT_EQ(dep1.legs[2].legType, LegType::None);            // the stray header
    EXPECT_EQ(dep1.legs[2].waypointKind, WaypointKind::Fix);   // "BOGUS" has 5 characters
    EXPECT_EQ(dep1.legs[2].departureProcLeg, 0);

    // A header naming no runway: every runway, empty runway text, not in the menu.
    for (const Procedure* t : {&r09[1], &r27[0]}) {
        EXPECT_EQ(t->name, "DEP1");
        EXPECT_TRUE(t->runwayIdent.empty());
        EXPECT_EQ(t->transitionName, "TRANS1");
        ASSERT_EQ(t->legs.size(), 1u);
        EXPECT_EQ(t->legs[0].waypointKind, WaypointKind::Navaid);  // "SPY"
        EXPECT_EQ(t->legs[0].altitudeFt, 5000);
    }
    ASSERT_EQ(lists.sidMenu.size(), 1u);
    EXPECT_EQ(lists.sidMenu[0].name, "DEP1");
    EXPECT_EQ(lists.sidMenu[0].text, "09");
    EXPECT_EQ(lists.sidMenu[0].position, 0);

    // Reading again gives the same lists, not twice as many.
    std::string first = describe(a, lists);
    readSids(a, lists, kProcFile);
    EXPECT_EQ(describe(a, lists), first);

    // A file that cannot be opened empties the lists and the menu.
    readSids(a, lists, std::nullopt);
    EXPECT_EQ(a.sidsLoaded, 0);
    EXPECT_TRUE(a.runways[0].sids.empty());
    EXPECT_TRUE(a.runways[1].sids.empty());
    EXPECT_TRUE(lists.sidMenu.empty());
}

TEST(SidReader, WorkingListsAfterAChoice) {
    Airport a = testAirport();
    ProcedureLists lists;
    std::string text = "SID,DEP1,09,5\nTF,EARLY,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n" + std::string(kProcFile);
    readSids(a, lists, text);
    ASSERT_EQ(lists.sidMenu.size(), 2u);  // DEP1 twice for runway 09
    a.sidIndex = 0;
    buildSidLists(a, lists);
    ASSERT_EQ(lists.sidRunwayParts.size(), 2u);
    EXPECT_EQ(lists.sidRunwayParts[0].listPosition, 0);
    EXPECT_EQ(lists.sidRunwayParts[1].listPosition, 1);
    ASSERT_EQ(lists.sidTransitions.size(), 1u);
    EXPECT_EQ(lists.sidTransitions[0].transitionName, "TRANS1");
    EXPECT_EQ(lists.sidTransitions[0].listPosition, 2);
    EXPECT_EQ(a.runways[0].sids[2].listPosition, 2);  // set on the original before copying

    // The runway part: the last matching SID wins.
    fillSidRunwayLegs(a, lists);
    EXPECT_EQ(idents(a.runways[0].sidRunwayLegs), (std::vector<std::string>{"ARTIP", "", ""}));

    // A choice outside the menu leaves the working lists empty.
    a.sidIndex = 5;
    buildSidLists(a, lists);
    fillSidRunwayLegs(a, lists);
    EXPECT_TRUE(lists.sidRunwayParts.empty());
    EXPECT_TRUE(lists.sidTransitions.empty());
    EXPECT_TRUE(a.runways[0].sidRunwayLegs.empty());
    a.selectedRunwayIndex = 7;
    buildSidLists(a, lists);
    readSids(a, lists, kProcFile);
    EXPECT_TRUE(lists.sidMenu.empty());
}

TEST(StarReader, EveryStarGoesToTheSelectedRunwayAndTheMenuHasOneEntryPerRun) {
    Airport a = testAirport();
    ProcedureLists lists;
    readStars(a, lists, kProcFile);
    EXPECT_EQ(a.starsLoaded, 1);
    const std::vector<Procedure>& stars = a.runways[0].stars;
    ASSERT_EQ(stars.size(), 5u);
    EXPECT_TRUE(a.runways[1].stars.empty());  // "ARR1,27" still lands on the selected runway
    EXPECT_EQ(stars[0].runwayIdent, "27");
    EXPECT_EQ(stars[0].transitionName, "NONE");
    EXPECT_EQ(stars[1].transitionName, "TRANS1");
    EXPECT_TRUE(stars[1].runwayIdent.empty());
    EXPECT_TRUE(stars[2].legs.empty());
    EXPECT_EQ(stars[0].legs[0].arrivalProcLeg, 1);
    EXPECT_EQ(stars[0].legs[0].departureProcLeg, 0);
    EXPECT_EQ(stars[1].legs[0].legType, LegType::IF);
    EXPECT_EQ(stars[1].legs[0].altitudeFt, 6000);

    ASSERT_EQ(lists.starMenu.size(), 3u);
    EXPECT_EQ(lists.starMenu[0].name, "ARR1");
    EXPECT_EQ(lists.starMenu[0].position, 0);
    EXPECT_EQ(lists.starMenu[1].name, "ARR2");
    EXPECT_EQ(lists.starMenu[1].position, 3);
    EXPECT_EQ(lists.starMenu[2].name, "ARR1");
    EXPECT_EQ(lists.starMenu[2].position, 4);
    EXPECT_TRUE(lists.starMenu[0].text.empty());

    // Transitions of the chosen STAR: its name, and no runway or the selected runway.
    a.starIndex = 0;
    buildStarTransitions(a, lists);
    ASSERT_EQ(lists.starTransitions.size(), 3u);
    EXPECT_EQ(lists.starTransitions[0].transitionName, "TRANS1");
    EXPECT_EQ(lists.starTransitions[1].transitionName, "TRANS2");
    EXPECT_EQ(lists.starTransitions[2].transitionName, "TRANS3");
    EXPECT_EQ(lists.starTransitions[2].listPosition, 4);
    a.selectedRunwayIdent = "27";
    buildStarTransitions(a, lists);
    EXPECT_EQ(lists.starTransitions.size(), 4u);

    readStars(a, lists, std::nullopt);
    EXPECT_EQ(a.starsLoaded, 0);
    EXPECT_TRUE(a.runways[0].stars.empty());
    EXPECT_TRUE(lists.starMenu.empty());
}

TEST(ApproachReaders, FinalsAndTransitionsOfOneRunway) {
    Airport a = testAirport();
    Runway& r = a.runways[0];
    readFinalApproaches(r, a, kProcFile);
    const std::vector<FinalApproach>& finals = r.approaches.finals;
    ASSERT_EQ(finals.size(), 2u);  // X opens no block; 27 is another runway; D09 never ends
    EXPECT_EQ(finals[0].typeText, "ILS");
    EXPECT_EQ(finals[0].approachType, ApproachType::Ils);
    EXPECT_FLOAT_EQ(finals[0].frequency, 110.55f);
    EXPECT_EQ(finals[0].navaidIdent, "IAM");
    EXPECT_EQ(finals[0].legLimit, 4);
    // Leg count 3 and five leg lines: two legs.
    EXPECT_EQ(idents(finals[0].legs), (std::vector<std::string>{"ARTIP", "RW09"}));
    EXPECT_EQ(finals[0].legs[0].arrivalProcLeg, 1);
    EXPECT_EQ(finals[1].typeText, "RNPY");
    EXPECT_EQ(finals[1].approachType, ApproachType::Rnp);
    EXPECT_FLOAT_EQ(finals[1].frequency, 0.0f);
    EXPECT_TRUE(finals[1].navaidIdent.empty());
    ASSERT_EQ(finals[1].legs.size(), 3u);
    EXPECT_EQ(finals[1].legs[2].legType, LegType::HM);

    readApproachTransitions(r, a, kProcFile);
    std::vector<ApproachTransition>& t = r.approaches.transitions;
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].approachName, "I09");
    EXPECT_EQ(t[0].transitionName, "ARTIP");
    EXPECT_EQ(t[0].approachType, ApproachType::Ils);
    EXPECT_EQ(idents(t[0].legs), std::vector<std::string>{"ARTIP"});
    EXPECT_EQ(t[1].approachType, ApproachType::Rnp);
    EXPECT_TRUE(t[2].legs.empty());

    keepTransitionsOfApproach(r, finals[0]);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].transitionName, "ARTIP");
    EXPECT_EQ(t[1].transitionName, "SPY");

    // A file that cannot be opened leaves the approach lists as they were.
    readFinalApproaches(r, a, std::nullopt);
    readApproachTransitions(r, a, std::nullopt);
    EXPECT_EQ(r.approaches.finals.size(), 2u);
    EXPECT_EQ(r.approaches.transitions.size(), 2u);
    // A file that opens replaces them.
    readFinalApproaches(r, a, "FINAL,G09,09,G,2\nTF,RW09,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n");
    ASSERT_EQ(r.approaches.finals.size(), 1u);
    EXPECT_EQ(r.approaches.finals[0].typeText, "GPS");

    EXPECT_EQ(approachTypeFromLetter('C'), ApproachType::CatIIIls);
    EXPECT_EQ(approachTypeFromLetter('L'), ApproachType::Loc);
    EXPECT_EQ(approachTypeFromLetter('D'), ApproachType::Vor);
    EXPECT_EQ(approachTypeFromLetter('N'), ApproachType::Ndb);
    EXPECT_EQ(approachTypeFromLetter('V'), ApproachType::None);
}

TEST(ApproachReaders, ShortHeadersOpenNoBlock) {
    Airport a = testAirport();
    Runway& r = a.runways[0];
    readFinalApproaches(r, a,
                        "FINAL,I09,09\nTF,RW09,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n"
                        "FINAL,I09,09,I,3\nTF,RW09,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n"  // ILS without navaid
                        "FINAL,C09,09,C,2,109.9,ICC\nTF,RW09,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n");
    ASSERT_EQ(r.approaches.finals.size(), 1u);
    EXPECT_EQ(r.approaches.finals[0].typeText, "CATII ILS");
    EXPECT_EQ(r.approaches.finals[0].navaidIdent, "ICC");
    readApproachTransitions(r, a, "APPTR,I09,09\nIF,X,1,2,X,0,0,0,0,0,0,0\n\n");
    EXPECT_TRUE(r.approaches.transitions.empty());
    ProcedureLists lists;
    readSids(a, lists, "SID,DEP\nTF,A,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n");
    EXPECT_TRUE(a.runways[0].sids.empty());
    EXPECT_EQ(a.sidsLoaded, 1);
}

TEST(ProcedureFiles, ReadFromTheDataRootOfTheContext) {
    TempDir dir;
    dir.write("data/Proc/EHXX.txt", kProcFile);
    Fms context;
    ScopedFms current(context);
    context.shell.dataRoot = dir.str();
    Airport a = testAirport();
    loadSids(a);
    EXPECT_EQ(a.runways[0].sids.size(), 2u);
    EXPECT_EQ(context.navdb.procedures.sidMenu.size(), 1u);
    loadStars(a);
    EXPECT_EQ(a.runways[0].stars.size(), 5u);
    EXPECT_EQ(context.navdb.procedures.starMenu.size(), 3u);
    a.starIndex = 1;
    buildStarTransitions(a);
    EXPECT_EQ(context.navdb.procedures.starTransitions.size(), 1u);
    loadFinalApproaches(a.runways[0], a);
    loadApproachTransitions(a.runways[0], a);
    EXPECT_EQ(a.runways[0].approaches.finals.size(), 2u);
    EXPECT_EQ(a.runways[0].approaches.transitions.size(), 3u);

    // No file for the airport: SIDs and STARs empty, approaches kept.
    Airport missing = testAirport();
    missing.ident = "NONE";
    missing.runways[0] = a.runways[0];
    loadSids(missing);
    loadFinalApproaches(missing.runways[0], missing);
    EXPECT_TRUE(missing.runways[0].sids.empty());
    EXPECT_EQ(missing.sidsLoaded, 0);
    EXPECT_EQ(missing.runways[0].approaches.finals.size(), 2u);
    // An identifier that would name a file outside the procedure folder is not opened.
    dir.write("data/secret.txt", kProcFile);
    Airport sneaky = testAirport();
    sneaky.ident = "../secret";
    loadSids(sneaky);
    EXPECT_TRUE(sneaky.runways[0].sids.empty());
    EXPECT_EQ(procedureFilePath("/root", "EHAM"), "/root/data/Proc/EHAM.txt");
}
