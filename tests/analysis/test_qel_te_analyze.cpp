// qel-te-analyze as the operator runs it: its first line, exit status, CSV and report files.
#include "RecordText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
};

// `errors`: whether the messages on stderr join the output.
Outcome analyze(const std::string& args, bool errors = false) {
    // No display and no platform set: the program must choose one itself.
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " QEL_TE_ANALYZE " " +
                                args + (errors ? " 2>&1" : " 2>/dev/null");
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0)
        run.out.append(buf.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

class Analyze : public ::testing::Test {
protected:
    std::string recordFile(const std::string& name, double cycles) {
        qelsim::ErrorModel drive;
        drive.driftSpread = 0.2;
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << testrecords::simulated(drive, cycles);
        return path;
    }

    testsupport::TempDir dir;
};

} // namespace

TEST_F(Analyze, PrintsTheFiguresWritesCsvAndReportWithoutADisplay) {
    const std::string file = recordFile("four.txt", 4.0);
    const std::string csv = dir.file("folded.csv");
    const std::string png = dir.file("report.png");
    const std::string pdf = dir.file("report.pdf");
    const Outcome run = analyze(file + " --csv " + csv + " --report " + png);
    ASSERT_EQ(run.status, 0) << run.out;
    // Scripts read the first number after "Worm period:"; its standard error follows.
    double period = 0.0, error = 0.0;
    ASSERT_EQ(std::sscanf(run.out.c_str(), "Worm period: %lf s \u00b1 %lf s", &period, &error), 2)
        << run.out.substr(0, 200);
    EXPECT_NEAR(period, 480.0, 4.0);
    EXPECT_GT(error, 0.0);
    EXPECT_NE(run.out.find("\nRMS after a full correction: "), std::string::npos) << run.out;
    EXPECT_EQ(testsupport::fileBytes(csv).rfind("phase_s,phase_deg,mean_arcsec,spread_arcsec\n", 0), 0u);
    EXPECT_GT(fs::file_size(png), 10000u);
    EXPECT_EQ(analyze(file + " " + file + " --report " + pdf).status, 0);
    EXPECT_GT(fs::file_size(pdf), 10000u);
}

TEST_F(Analyze, AddsBackTheGuidePulsesAndSaysSo) {
    const std::string file = recordFile("guided.txt", 4.0);
    const std::string log = dir.file("guide-log.txt");
    std::ofstream(log, std::ios::binary)
        << "2026-Dec-07 22:10:01.05 TE 1.125 U 0.845 RA E 113 RATE 0.500 sent\r\n"
           "2026-Dec-07 22:10:02.05 TE - U - RA - 0 RATE - skipped no-reading\r\n";
    const Outcome run = analyze(file + " --guide-log " + log);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.rfind("Worm period: ", 0), 0u) << run.out;
    const std::size_t second = run.out.find('\n') + 1;
    EXPECT_EQ(run.out.compare(second, 19, "Guiding taken out: "), 0) << run.out;
    EXPECT_NE(run.out.find("1 pulse sent (+0.8 arcsec in all, East +); 0 refused and 1 skipped"),
              std::string::npos)
        << run.out;
}

TEST_F(Analyze, FailsInWordsForFilesItCannotAnalyze) {
    const std::string empty = dir.file("empty.txt");
    std::ofstream(empty).close();
    const std::string record = recordFile("record.txt", 1.0);
    for (const std::string& args : {dir.file("missing.txt"), empty, std::string("--period abc x.txt"),
                                    std::string(), record + " --guide-log " + dir.file("missing-log.txt"),
                                    record + " " + record + " --guide-log " + empty}) {
        const Outcome run = analyze(args, true);
        EXPECT_NE(run.status, 0) << args;
        EXPECT_NE(run.out.find("qel-te-analyze: "), std::string::npos) << run.out;
    }
}

TEST_F(Analyze, PrintsOnlyItsOwnLinesWhereQtWouldWarnAboutTheRuntimeDirectory) {
    // Qt warns on stderr when XDG_RUNTIME_DIR is missing or shared; the terminal must show only the figures.
    const std::string file = recordFile("four.txt", 4.0);
    const char* const before = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = before ? before : "";
    for (const char* runtimeDir : {static_cast<const char*>(nullptr), "/tmp"}) {
        if (runtimeDir)
            setenv("XDG_RUNTIME_DIR", runtimeDir, 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        const std::string label = runtimeDir ? runtimeDir : "unset";
        const Outcome figures = analyze(file + " --report " + dir.file("report.png"));
        const Outcome everything = analyze(file + " --report " + dir.file("report.png"), true);
        EXPECT_EQ(everything.status, 0) << label;
        EXPECT_EQ(everything.out, figures.out) << "XDG_RUNTIME_DIR " << label;
    }
    if (before)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}
