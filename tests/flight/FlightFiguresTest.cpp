// The measurements the flight-test table is made of, on flights made up by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "FlightRig.h"
#include "SimEarth.h"

namespace {

// A leg east along 47 N, flown `offsetNm` to the south (its right) at 250 kt, the bank swinging
// by +-swingDeg; the aircraft joins it from the north after a right turn.
std::vector<FlownLeg> eastboundLeg(double offsetNm, double swingDeg) {
    FlownLeg before;
    before.name = "WPT A";
    before.sequenced = true;
    before.samples.push_back({0.0, 46.9, -122.0, 0.0, 0.0, 0.0, 0.0, 5000.0});
    FlownLeg leg;
    leg.name = "WPT B";
    leg.type = LegType::None;
    leg.fromLat = 47.0;
    leg.fromLon = -122.0;
    leg.toLat = 47.0;
    leg.toLon = -121.0;
    for (int i = 0; i <= 2000; ++i) {
        const double t = 1.0 + i * 0.1;
        // Along the leg's great circle, then square off it: 0.3 NM north (left, the outside of
        // the right turn) for the first 10 s, then the offset to the south.
        double lat = 47.0, lon = -122.0;
        simearth::travel(lat, lon, simearth::courseDeg(47.0, -122.0, 47.0, -121.0),
                         250.0 * (t - 1.0) / 3600.0);
        const double across = simearth::courseDeg(lat, lon, 47.0, -121.0) + 90.0;
        simearth::travel(lat, lon, across, t < 11.0 ? -0.3 : offsetNm);
        const double bank = swingDeg * std::sin(t);
        leg.samples.push_back({t, lat, lon, 90.0, 90.0, bank, bank, 5000.0});
    }
    return {before, leg};
}

TEST(FlightFigures, CaptureOffsetOvershootAndBankSwingOfAMadeUpLeg) {
    const std::vector<FlownLeg> legs = eastboundLeg(0.04, 1.5);
    const LegFigures f = legFigures(legs, 1, 0.0);
    EXPECT_EQ(f.name, "WPT B");
    EXPECT_NEAR(f.captureS, 10.0, 0.15);  // on the leg within 0.1 NM once the 0.3 NM are gone
    EXPECT_NEAR(f.peakTurnXtkNm, 0.3, 0.01);
    EXPECT_NEAR(f.overshootNm, 0.3, 0.01);  // north is the outside of a right turn onto east
    EXPECT_NEAR(f.turnDeg, 90.0, 0.5);
    EXPECT_NEAR(f.steadyRmsNm, 0.04, 0.002);
    EXPECT_NEAR(f.steadyMaxNm, 0.04, 0.002);
    EXPECT_NEAR(f.bankP2pDeg, 3.0, 0.05);
    EXPECT_NEAR(f.bankOvershootDeg, 0.0, 1e-9);  // the bank followed its command exactly
    EXPECT_FALSE(f.sequenced);
    EXPECT_EQ(f.sequencedAt, "-");

    // Never within 0.1 NM: no capture, no steady figures.
    const LegFigures off = legFigures(eastboundLeg(0.2, 0.0), 1, 0.0);
    EXPECT_TRUE(std::isnan(off.captureS));
    EXPECT_TRUE(std::isnan(off.steadyRmsNm));
    EXPECT_NEAR(off.peakTurnXtkNm, 0.3, 0.01);

    // The table shows what does not apply as n/a.
    const std::string table = markdownTable({{"made-up", "jet, calm", off}});
    EXPECT_NE(
        table.find(
            "| made-up | jet, calm | WPT B | n/a | 0.30 | 0.30 | n/a | n/a | 0.0 | n/a | not sequenced |"),
        std::string::npos)
        << table;
}

}  // namespace
