// qel-unit-sim as scripts and end-to-end tests use it: ready line, COM link, readings on the line,
// codes file, exit line, link removed at the end or on a signal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "TrackingErrorSignal.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The simulator as a child process with its standard output read line by line.
class Sim {
public:
    // `errors`: a file for the child's standard error (its complaints), or /dev/null.
    explicit Sim(const std::vector<std::string>& args, const std::string& errors = "/dev/null") {
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> all{QEL_UNIT_SIM_BINARY};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_out = out[0];
    }

    ~Sim() {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
    }

    bool started() const { return m_pid > 0; }

    // The next line of output without its newline; empty after `timeout` or at the end.
    std::string line(std::chrono::milliseconds timeout = 5s) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (true) {
            const auto newline = m_buffer.find('\n');
            if (newline != std::string::npos) {
                std::string text = m_buffer.substr(0, newline);
                m_buffer.erase(0, newline + 1);
                return text;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd p{m_out, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return {};
            char chunk[256];
            const ssize_t n = read(m_out, chunk, sizeof chunk);
            if (n <= 0)
                return {};
            m_buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }

    void signal(int number) { kill(m_pid, number); }

    // Exit status, or -1 if it has not ended within `timeout`.
    int wait(std::chrono::milliseconds timeout = 5s) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        int status = 0;
        while (std::chrono::steady_clock::now() < until) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_reaped = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    bool m_reaped = false;
    std::string m_buffer;
};

// Reads `count` bytes from a device within `timeout`.
std::vector<std::uint8_t> readBytes(const std::string& device, std::size_t count,
                                    std::chrono::milliseconds timeout = 5s) {
    std::vector<std::uint8_t> bytes;
    const int fd = open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return bytes;
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count && std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        std::uint8_t chunk[512];
        const ssize_t n = read(fd, chunk, std::min(sizeof chunk, count - bytes.size()));
        if (n > 0)
            bytes.insert(bytes.end(), chunk, chunk + n);
    }
    close(fd);
    return bytes;
}

class QelUnitSimRun : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("qel-unit-sim-" + std::string(test->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

TEST_F(QelUnitSimRun, SendsTheModelsReadingsThroughTheComLink) {
    const fs::path codesFile = dir / "codes.txt";
    Sim sim({"--port", "3", "--dir", dir.string(), "--rate", "960", "--count", "300", "--seed", "5",
             "--codes-out", codesFile.string()});
    ASSERT_TRUE(sim.started());
    const auto begun = std::chrono::steady_clock::now();

    const std::string ready = sim.line();
    const std::string prefix = "qel-unit-sim: COM3 -> ";
    ASSERT_EQ(ready.substr(0, prefix.size()), prefix) << ready;
    const std::string device = ready.substr(prefix.size());
    EXPECT_EQ(fs::read_symlink(dir / "COM3").string(), device);

    const auto received = readBytes((dir / "COM3").string(), 300);
    EXPECT_EQ(sim.line(), "qel-unit-sim: sent 300 readings");
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_GT(std::chrono::steady_clock::now() - begun, 250ms) << "300 readings at 960/s take 0.31 s";
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "COM3")));

    qelsim::TrackingErrorSignal model(qelsim::ErrorModel{}, 5, 960.0);
    std::vector<std::uint8_t> expected(300);
    for (auto& c : expected)
        c = model.nextCode();
    EXPECT_EQ(received, expected);

    std::ifstream codes(codesFile);
    std::vector<std::uint8_t> written;
    for (int code; codes >> code;)
        written.push_back(static_cast<std::uint8_t>(code));
    EXPECT_EQ(written, expected);
}

TEST_F(QelUnitSimRun, SignalEndsItAndRemovesTheLink) {
    fs::create_symlink("/nonexistent/pts/99", dir / "COM1"); // left by a simulator that was killed
    Sim sim({"--dir", dir.string(), "--hold"});
    ASSERT_TRUE(sim.started());
    const std::string ready = sim.line();
    ASSERT_EQ(ready.rfind("qel-unit-sim: COM1 -> /dev/", 0), 0u) << ready;

    EXPECT_EQ(readBytes((dir / "COM1").string(), 2).size(), 2u);
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.line().rfind("qel-unit-sim: sent ", 0), 0u);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "COM1")));
}

TEST_F(QelUnitSimRun, LeavesSomeoneElsesLinkAlone) {
    fs::create_symlink("/dev/null", dir / "COM2");
    const fs::path errors = dir / "errors.txt";
    Sim sim({"--port", "2", "--dir", dir.string(), "--count", "1"}, errors.string());
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(sim.line(), "");
    EXPECT_EQ(sim.wait(), 1);
    EXPECT_EQ(fs::read_symlink(dir / "COM2"), "/dev/null");
    std::string complaint;
    std::getline(std::ifstream(errors), complaint);
    EXPECT_NE(complaint.find("COM2 already exists"), std::string::npos) << complaint;
}

TEST_F(QelUnitSimRun, ReplaysARecordFile) {
    const fs::path record = dir / "night.txt";
    std::ofstream(record) << "7E:126: 2013-Jan-05 21:14:07.42  TE:    0.125 None None\r\n"
                          << "A:10: 2013-Jan-05 21:14:07.54  TE:   14.625 None None\r\n"
                          << "FF:255: 2013-Jan-05 21:14:07.67  TE:  -16.000 None None\r\n";
    Sim sim({"--no-link", "--rate", "960", "--replay", record.string()});
    ASSERT_TRUE(sim.started());
    const std::string ready = sim.line();
    ASSERT_EQ(ready.rfind("qel-unit-sim: /dev/", 0), 0u) << ready;

    EXPECT_EQ(readBytes(ready.substr(std::string("qel-unit-sim: ").size()), 3),
              (std::vector<std::uint8_t>{126, 10, 255}));
    EXPECT_EQ(sim.line(), "qel-unit-sim: sent 3 readings");
    EXPECT_EQ(sim.wait(), 0);
}
