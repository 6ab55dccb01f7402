// The program flies a zig-zag plan of the sample database in FlightGear, through fms-fgbridge,
// in real time: FlightGear headless under Xvfb (scene drawing off, 60 frames per second), the
// Cessna 172P airborne near Seattle in calm air, its pitch and power held by the bridge so that
// only the program's lateral guidance is judged. Runs only when FMS_FLIGHTGEAR_TEST=1 (the test
// command sets it in one of its builds); FlightGear must be installed then.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "FlightRig.h"
#include "Harness.h"
#include "PlanSteps.h"
#include "SimChild.h"
#include "cdu/PageIds.h"
#include "flightplan/FlightPlan.h"
#include "guidance/GuidanceState.h"
#include "platform/Clock.h"
#include "platform/posix/SimPosixTransport.h"
#include "shell/Program.h"
#include "simlink/SimLinkState.h"

namespace {

using Wall = std::chrono::steady_clock;
constexpr double kPi = 3.14159265358979323846;

// FlightGear through scripts/flightgear.sh in a process group of its own, so that xvfb-run,
// Xvfb and fgfs all go together.
class FlightGearProcess {
public:
    FlightGearProcess(const std::vector<std::string>& args, const std::string& logPath,
                      const std::string& home)
        : logPath_(logPath) {
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            const int fd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                dup2(fd, STDOUT_FILENO);
                dup2(fd, STDERR_FILENO);
            }
            setenv("FG_HOME", home.c_str(), 1);
            std::vector<char*> argv;
            const std::string script = std::string(FMS_SOURCE_DIR) + "/scripts/flightgear.sh";
            argv.push_back(const_cast<char*>(script.c_str()));
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(script.c_str(), argv.data());
            _exit(127);
        }
        if (pid_ > 0) setpgid(pid_, pid_);
    }
    ~FlightGearProcess() { stop(); }

    void stop() {
        if (pid_ <= 0) return;
        kill(-pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (i == 99) {
                kill(-pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
            }
        }
        kill(-pid_, SIGKILL);  // whatever of the group is left
        pid_ = -1;
    }
    // The end of FlightGear's log, for a failure message.
    std::string logTail() const {
        std::ifstream in(logPath_);
        std::stringstream s;
        s << in.rdbuf();
        const std::string all = s.str();
        return all.size() > 3000 ? all.substr(all.size() - 3000) : all;
    }

private:
    std::string logPath_;
    pid_t pid_ = -1;
};

// "state age ms median 8.1 p95 16.0 max 21.3" from the bridge's last line.
double figureAfter(const std::string& text, const std::string& label) {
    const size_t at = text.rfind(label);
    return at == std::string::npos ? NAN : std::atof(text.c_str() + at + label.size());
}

}  // namespace

TEST(FlightGearFlight, ZigzagOfTheSampleDatabaseNearSeattle) {
    const char* enabled = std::getenv("FMS_FLIGHTGEAR_TEST");
    if (enabled == nullptr || std::string(enabled) != "1")
        GTEST_SKIP() << "set FMS_FLIGHTGEAR_TEST=1 to fly in FlightGear";
    const auto testStart = Wall::now();

    TempDir dir;
    const std::string out = flightOutputDir();
    const std::string home = std::string(FMS_BINARY_DIR) + "/flightgear-home";  // its caches survive runs
    std::filesystem::create_directories(home);
    const std::string port = "5540";
    SimChild bridge(std::string(FMS_RUN_DIR) + "/fms-fgbridge", dir.str() + "/rt",
                    {"--engage", "--hold", "--port", port, "--wait", "240"}, out + "/fgbridge.log");
    ASSERT_TRUE(bridge.started());
    FlightGearProcess flightgear({"--headless", "--port", port, "--lat", "47.40", "--lon", "-122.30",
                                  "--altitude", "3000", "--heading", "350", "--speed", "100"},
                                 out + "/flightgear.log", home);

    // FlightGear is up when the bridge serves; bounded, and a FlightGear that does not start
    // fails the test with its log.
    bool up = false;
    for (int i = 0; i < 2400 && !up; ++i) {
        up = std::filesystem::exists(bridge.socketPath());
        if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(up) << "FlightGear did not start within 240 s. Bridge:\n"
                    << bridge.output() << "\nFlightGear log:\n"
                    << flightgear.logTail();
    const double startupS = std::chrono::duration<double>(Wall::now() - testStart).count();

    // The program, headless, linked to the bridge in real time (its clock and transport
    // outlive it: the program's end closes the link through them).
    SteadyClock clock;
    PosixSimTransport transport(dir.str() + "/rt");
    Harness h;
    h.context.platform.clock = &clock;
    h.context.platform.simTransport = &transport;
    h.start();
    ASSERT_TRUE(h.context.simlink.simLinked) << bridge.output();
    h.powerOn();
    h.waitForDatabase();
    for (int i = 0; i < 20 && h.cdu().currentPage != kPageInit; ++i) h.frame();
    h.press("L5");  // ACCEPT on the INIT page
    h.frames(2);
    h.settings().unitIsFms1 = true;
    // A zig-zag of the sample database's fixes north of the airport: turns of 64, 102 and 81 degrees.
    for (const char* ident : {"JEVUN", "OCEZE", "NESOE", "R1617"})
        appendIdent(h.context.navdb.database, ident);
    h.cdu().currentPage = kPageBlank;

    std::vector<FlownLeg> legs;
    bool pilotChange = false;
    const auto flightStart = Wall::now();
    auto next = flightStart;
    double lastLegSince = -1.0;
    int frames = 0;
    for (;;) {
        const double t = std::chrono::duration<double>(Wall::now() - flightStart).count();
        ASSERT_TRUE(runFrame()) << "the program lost the simulator at " << t << " s. Bridge:\n"
                                << bridge.output() << "\nFlightGear log:\n"
                                << flightgear.logTail();
        ++frames;
        const AircraftState& a = h.context.simlink.aircraft;
        const double magVar = a.magVarDeg;
        recordFlightSample(
            legs, pilotChange,
            {t, a.position.lat, a.position.lon,
             std::fmod(a.groundTrackRad * 180.0 / kPi + magVar + 360.0, 360.0),
             std::fmod(a.headingMagF + magVar + 360.0, 360.0), -a.bankDeg,
             -h.context.guidance.steering.rateLimitedBankDeg, static_cast<double>(a.altimeterFt)});
        const bool onLastLeg =
            h.context.guidance.activeSegment + 1 >= static_cast<int>(planSegments().size());
        if (onLastLeg && lastLegSince < 0.0) lastLegSince = t;
        if ((lastLegSince >= 0.0 && t - lastLegSince > 40.0) || t > 480.0) break;
        next += std::chrono::microseconds(16667);
        std::this_thread::sleep_until(next);
        if (Wall::now() > next + std::chrono::milliseconds(200))
            next = Wall::now();  // do not race to catch up
    }
    const double flightS = std::chrono::duration<double>(Wall::now() - flightStart).count();

    bridge.type("quit");
    bridge.wait(5000);
    flightgear.stop();
    const std::string bridgeOutput = bridge.output();
    const double ageMedian = figureAfter(bridgeOutput, "state age ms median ");
    const double ageP95 = figureAfter(bridgeOutput, " p95 ");
    const double ageMax = figureAfter(bridgeOutput, " max ");

    std::vector<TableRow> rows;
    std::vector<LegFigures> figures;
    for (size_t i = 0; i < legs.size(); ++i) {
        figures.push_back(legFigures(legs, i, h.context.simlink.aircraft.magVarDeg));
        rows.push_back({"flightgear-zigzag", "c172p, calm", figures.back()});
    }
    char summary[512];
    std::snprintf(
        summary, sizeof summary,
        "FlightGear start %.0f s, flight %.0f s (%d frames, %.1f per second), test %.0f s; state age "
        "ms median %.1f p95 %.1f max %.1f\n",
        startupS, flightS, frames, frames / flightS,
        std::chrono::duration<double>(Wall::now() - testStart).count(), ageMedian, ageP95, ageMax);
    writeText(out + "/flightgear-flight.md",
              "### flightgear-zigzag\n\n" + markdownTable(rows) + "\n" + summary);
    std::printf("%s%s", markdownTable(rows).c_str(), summary);

    // The plan was flown: every leg but the last sequenced, in order, and each captured.
    ASSERT_EQ(legs.size(), 3u) << markdownTable(rows);
    EXPECT_EQ(legs[0].name, "WPT OCEZE");
    EXPECT_EQ(legs[1].name, "WPT NESOE");
    EXPECT_EQ(legs[2].name, "WPT R1617");
    for (size_t i = 0; i < figures.size(); ++i) {
        SCOPED_TRACE(figures[i].name);
        // The last leg, 1.4 NM after an 81-degree turn, is flown for 40 s only.
        if (i + 1 < figures.size()) {
            EXPECT_TRUE(figures[i].sequenced);
            EXPECT_FALSE(std::isnan(figures[i].captureS));
        }
        if (!std::isnan(figures[i].overshootNm)) {
            EXPECT_LE(figures[i].overshootNm, 1.0);
        }
        if (!std::isnan(figures[i].steadyMaxNm)) {
            EXPECT_LE(figures[i].steadyMaxNm, 0.2);
        }
    }
    // The state the program read was fresh: FlightGear sends 60 packets a second.
    EXPECT_LE(ageMedian, 35.0) << bridgeOutput;
}
