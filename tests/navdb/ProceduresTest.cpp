#include <gtest/gtest.h>

#include "RecordText.h"
#include "TempDir.h"
#include "navdb/Procedures.h"
#include "shell/Fms.h"

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
    "DF,SPY,52.5,4.8,0,SPY,0,0,0,5000,0,0,0\n\n"
    "STAR,ARR1,27,1\n"
    "TF,EELDE,53.1,6.6,0,EEL,0,0,180,0,0,4000,0,0,0\n\n"
    "STAR,ARR1,TRANS1,1\n"
    "IF,NORKU,52.2,4.1,EEL,0,0,0,6000,0,0,0\n\n"
    "STAR,ARR1,TRANS2,1\n\n"
    "STAR,ARR2,TRANS1,1\n\n"
    "STAR,ARR1,TRANS3,1\n\n"
    "FINAL,I09,09,I,3,110.55,IAM\n"
    "IF,ARTIP,52.5,5.5,IAM,0,0,0,2000,0,0,0\n"
    "TF,RW09,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n"
    "TF,THIRD,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n"
    "TF,FOURTH,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n"
    "TF,FIFTH,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n\n"
    "FINAL,X09,09,X,3,0,0\n"
    "TF,IGNOR,52.3,4.7,0,IAM,0,0,90,0,0,0,0,0,0\n\n"
    "FINAL,R09Y,09,R,4\n"
    "IF,SUGOL,52.5,3.9,SPY,0,0,0,3000,0,0,0\n"
    "TF,RW09,52.3,4.7,0,SPY,0,0,90,0,0,0,0,0,0\n"
    "HM\n\n"
    "FINAL,I27,27,I,2,111.1,IBB\n"
    "TF,RW27,52.3,4.8,0,IBB,0,0,270,0,0,0,0,0,0\n\n"
    "APPTR,I09,09,ARTIP\n"
    "IF,ARTIP,52.5,5.5,IAM,0,0,0,2000,0,0,0\n\n"
    "APPTR,R09Y,09,SUGOL\n"
    "TF,SUGOL,52.5,3.9,0,SPY,0,0,90,0,0,0,0,0,0\n\n"
    "APPTR,I09,09,SPY\n\n"
    "APPTR,I27,27,NORKU\n\n"
    // Headers too short to open a block (an ILS without its navaid among them): their leg lines
    // lie outside any block.
    "FINAL,I09,09\nTF,RW09,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n"
    "FINAL,I09,09,I,3\nTF,RW09,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n"
    "APPTR,I09,09\nIF,X,1,2,X,0,0,0,0,0,0,0\n\n"
    "SID,DEP\nTF,A,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n"
    "FINAL,C09,09,C,2,109.9,ICC\nTF,RW09,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n"
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

// The leg idents, each followed by '/'.
std::string idents(const std::vector<FplLeg>& legs) {
    std::string s;
    for (const FplLeg& l : legs) s += l.ident + '/';
    return s;
}

std::string text(const Procedure& p) {
    return fieldsText(6, p.name, p.runwayIdent, p.transitionName, p.routeType, idents(p.legs));
}
std::string text(const FinalApproach& f) {
    return fieldsText(6, f.typeText, f.frequency, f.navaidIdent, f.legLimit, idents(f.legs));
}
// The type as its number: 3 ILS, 7 RNP.
std::string text(const ApproachTransition& t) {
    return fieldsText(6, t.approachName, t.transitionName, static_cast<int>(t.approachType), idents(t.legs));
}

// A menu as "name/text@position" entries.
std::string text(const std::vector<MenuEntry>& menu) {
    std::string s;
    for (const MenuEntry& e : menu) s += e.name + '/' + e.text + '@' + std::to_string(e.position) + ' ';
    return s;
}

// Everything the SID/STAR readers attach, as one text, to compare two reads.
std::string describe(const Airport& a, const ProcedureLists& lists) {
    std::string s;
    for (const Runway& r : a.runways) {
        s += r.ident + ':';
        for (const auto* list : {&r.sids, &r.stars})
            for (const Procedure& p : *list) s += text(p) + ' ';
    }
    return s + text(lists.sidMenu) + text(lists.starMenu);
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

    // A header naming a runway: that runway only, transition "NONE". The stray header inside
    // the block is a leg line of no type.
    const Procedure& dep1 = r09[0];
    EXPECT_EQ(text(dep1), "DEP1,09,NONE,2,ARTIP///");
    EXPECT_EQ(dep1.airportIndex, 17);
    EXPECT_EQ(dep1.legs[0].waypointKind, WaypointKind::Fix);  // 5-character field 1
    EXPECT_EQ(dep1.legs[0].departureProcLeg, 1);
    EXPECT_EQ(dep1.legs[1].waypointKind, WaypointKind::None);  // field 1 is "0"
    EXPECT_EQ(dep1.legs[2].legType, LegType::None);

    // A header naming no runway: every runway, empty runway text, not in the menu.
    for (const Procedure* t : {&r09[1], &r27[0]}) {
        EXPECT_EQ(text(*t), "DEP1,,TRANS1,2,SPY/");
        EXPECT_EQ(t->legs[0].waypointKind, WaypointKind::Navaid);  // 3-character field 1
    }
    EXPECT_EQ(text(lists.sidMenu), "DEP1/09@0 ");

    // Reading again gives the same lists, not twice as many.
    std::string first = describe(a, lists);
    readSids(a, lists, kProcFile);
    EXPECT_EQ(describe(a, lists), first);

    // A file that cannot be opened empties the lists and the menu.
    readSids(a, lists, std::nullopt);
    EXPECT_EQ(a.sidsLoaded, 0);
    EXPECT_EQ(describe(a, lists), "09:27:");
}

TEST(SidReader, WorkingListsAfterAChoice) {
    Airport a = testAirport();
    ProcedureLists lists;
    std::string file = "SID,DEP1,09,5\nTF,EARLY,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n" + std::string(kProcFile);
    readSids(a, lists, file);
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
    EXPECT_EQ(idents(a.runways[0].sidRunwayLegs), "ARTIP///");

    // A choice outside the menu leaves the working lists empty.
    a.sidIndex = 5;
    buildSidLists(a, lists);
    fillSidRunwayLegs(a, lists);
    EXPECT_TRUE(lists.sidRunwayParts.empty());
    EXPECT_TRUE(lists.sidTransitions.empty());
    EXPECT_EQ(idents(a.runways[0].sidRunwayLegs), "");
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
    EXPECT_EQ(text(stars[0]), "ARR1,27,NONE,1,EELDE/");
    EXPECT_EQ(text(stars[1]), "ARR1,,TRANS1,1,NORKU/");
    EXPECT_EQ(text(stars[2]), "ARR1,,TRANS2,1,");
    EXPECT_EQ(stars[0].legs[0].arrivalProcLeg, 1);
    // One entry per run of records of one name: ARR1 again after ARR2 is a new entry.
    EXPECT_EQ(text(lists.starMenu), "ARR1/@0 ARR2/@3 ARR1/@4 ");

    // Transitions of the chosen STAR: its name, and no runway or the selected runway.
    a.starIndex = 0;
    buildStarTransitions(a, lists);
    ASSERT_EQ(lists.starTransitions.size(), 3u);
    EXPECT_EQ(lists.starTransitions[2].transitionName, "TRANS3");
    EXPECT_EQ(lists.starTransitions[2].listPosition, 4);
    a.selectedRunwayIdent = "27";
    buildStarTransitions(a, lists);
    EXPECT_EQ(lists.starTransitions.size(), 4u);

    readStars(a, lists, std::nullopt);
    EXPECT_EQ(a.starsLoaded, 0);
    EXPECT_EQ(describe(a, lists), "09:27:");
}

TEST(ApproachReaders, FinalsAndTransitionsOfOneRunway) {
    Airport a = testAirport();
    Runway& r = a.runways[0];
    readFinalApproaches(r, a, kProcFile);
    const std::vector<FinalApproach>& finals = r.approaches.finals;
    // X opens no block; 27 is another runway; D09 never ends. Leg count 3 and five leg lines:
    // two legs. A hold is a leg of its own.
    ASSERT_EQ(finals.size(), 3u);
    EXPECT_EQ(text(finals[0]), "ILS,110.55,IAM,4,ARTIP/RW09/");
    EXPECT_EQ(finals[0].approachType, ApproachType::Ils);
    EXPECT_EQ(finals[0].legs[0].arrivalProcLeg, 1);
    EXPECT_EQ(text(finals[1]), "RNPY,0,,5,SUGOL/RW09//");
    EXPECT_EQ(finals[1].legs[2].legType, LegType::HM);
    EXPECT_EQ(text(finals[2]), "CATII ILS,109.9,ICC,3,RW09/");

    // Transitions of this runway, typed by the first letter of the approach name (3 ILS, 7 RNP).
    readApproachTransitions(r, a, kProcFile);
    std::vector<ApproachTransition>& t = r.approaches.transitions;
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(text(t[0]), "I09,ARTIP,3,ARTIP/");
    EXPECT_EQ(text(t[1]), "R09Y,SUGOL,7,SUGOL/");
    EXPECT_EQ(text(t[2]), "I09,SPY,3,");
    keepTransitionsOfApproach(r, finals[0]);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].transitionName, "SPY");

    // A file that cannot be opened leaves the approach lists as they were; one that opens
    // replaces them.
    readFinalApproaches(r, a, std::nullopt);
    readApproachTransitions(r, a, std::nullopt);
    EXPECT_EQ(r.approaches.finals.size(), 3u);
    EXPECT_EQ(r.approaches.transitions.size(), 2u);
    readFinalApproaches(r, a, "FINAL,G09,09,G,2\nTF,RW09,1,2,0,X,0,0,0,0,0,0,0,0,0\n\n");
    ASSERT_EQ(r.approaches.finals.size(), 1u);
    EXPECT_EQ(r.approaches.finals[0].typeText, "GPS");
}

TEST(ProcedureFiles, ReadFromTheDataRootOfTheContext) {
    TempDir dir;
    dir.write("data/Proc/EHXX.txt", kProcFile);
    Fms context;
    ScopedFms current(context);
    context.platform.dataRoot = dir.str();
    Airport a = testAirport();
    // The readers' rules are tested above: here only that each loader finds the file.
    loadSids(a);
    loadStars(a);
    EXPECT_EQ(a.runways[0].sids.size(), 2u);
    EXPECT_EQ(a.runways[0].stars.size(), 5u);
    loadFinalApproaches(a.runways[0], a);
    loadApproachTransitions(a.runways[0], a);
    EXPECT_EQ(a.runways[0].approaches.finals.size(), 3u);
    EXPECT_EQ(a.runways[0].approaches.transitions.size(), 3u);

    // No file for the airport: SIDs and STARs empty, approaches kept.
    Airport missing = testAirport();
    missing.ident = "NONE";
    missing.runways[0] = a.runways[0];
    loadSids(missing);
    loadFinalApproaches(missing.runways[0], missing);
    EXPECT_TRUE(missing.runways[0].sids.empty());
    EXPECT_EQ(missing.sidsLoaded, 0);
    EXPECT_EQ(missing.runways[0].approaches.finals.size(), 3u);
    // An identifier that would name a file outside the procedure folder is not opened.
    dir.write("data/secret.txt", kProcFile);
    Airport sneaky = testAirport();
    sneaky.ident = "../secret";
    loadSids(sneaky);
    EXPECT_TRUE(sneaky.runways[0].sids.empty());
}
