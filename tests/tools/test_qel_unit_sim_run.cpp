// qel-unit-sim as scripts and end-to-end tests use it: it takes over a stale COM link, announces it, sends
// the seed's readings at the rate asked for and writes them to the codes file, and on SIGTERM says what it
// sent and removes the link.
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

// The text of a file once it holds `lines` complete lines, or what it holds after 5 s.
std::string waitForLines(const fs::path& file, int lines) {
    std::string text;
    for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(10ms)) {
        text.assign(std::istreambuf_iterator<char>(std::ifstream(file).rdbuf()), {});
        if (std::count(text.begin(), text.end(), '\n') >= lines)
            break;
    }
    return text;
}

// Reads `count` bytes from a device within 5 s.
std::vector<std::uint8_t> readBytes(const std::string& device, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::size_t got = 0;
    const int fd = open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    for (auto until = std::chrono::steady_clock::now() + 5s;
         fd >= 0 && got < count && std::chrono::steady_clock::now() < until;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) > 0)
            got += static_cast<std::size_t>(std::max<ssize_t>(0, read(fd, &bytes[got], count - got)));
    }
    if (fd >= 0)
        close(fd);
    bytes.resize(got);
    return bytes;
}

// Ends the simulator if a failed assertion leaves it running.
struct Child {
    pid_t pid = -1;
    ~Child() {
        if (pid > 0 && kill(pid, SIGKILL) == 0)
            waitpid(pid, nullptr, 0);
    }
};

} // namespace

TEST(QelUnitSimRun, SendsTheSeedsReadingsThroughTheComLinkAndRemovesItOnSigterm) {
    const fs::path dir = fs::temp_directory_path() / ("qel-unit-sim-run-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::create_symlink("/nonexistent/pts/99", dir / "COM3"); // left by a simulator that was killed
    const fs::path out = dir / "out.txt", codesFile = dir / "codes.txt";
    std::vector<std::string> args{
        QEL_UNIT_SIM_BINARY, "--port", "3",      "--dir", dir.string(),  "--rate",           "960",
        "--count",           "300",    "--seed", "5",     "--codes-out", codesFile.string(), "--hold"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    Child sim;
    ASSERT_EQ(posix_spawn(&sim.pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    const auto begun = std::chrono::steady_clock::now();

    const std::string ready = waitForLines(out, 1);
    const std::string prefix = "qel-unit-sim: COM3 -> ";
    ASSERT_EQ(ready.substr(0, prefix.size()), prefix) << ready;
    EXPECT_EQ(fs::read_symlink(dir / "COM3").string() + "\n", ready.substr(prefix.size()));
    const auto received = readBytes((dir / "COM3").string(), 300);
    EXPECT_GT(std::chrono::steady_clock::now() - begun, 250ms) << "300 readings at 960/s take 0.31 s";

    kill(sim.pid, SIGTERM);
    int status = -1;
    pid_t ended = 0;
    for (int i = 0; i < 500 && ended == 0; ++i, std::this_thread::sleep_for(10ms))
        ended = waitpid(sim.pid, &status, WNOHANG);
    ASSERT_EQ(ended, sim.pid) << "still running 5 s after SIGTERM";
    sim.pid = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(waitForLines(out, 2), ready + "qel-unit-sim: sent 300 readings\n");
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
    fs::remove_all(dir);
}
