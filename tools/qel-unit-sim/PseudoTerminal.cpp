// The simulated unit's pseudo-terminal and its COM<n> link.
#include "PseudoTerminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace qelsim {

namespace fs = std::filesystem;

Pty::~Pty() {
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
}

bool Pty::create(std::string& error) {
    termios raw{};
    cfmakeraw(&raw);
    cfsetspeed(&raw, B9600);
    char name[256] = {};
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        error = std::string("cannot make a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slavePath = name;
    // Nobody may be reading: a full buffer must cost a reading, never hang the unit.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return true;
}

int Pty::unread() const {
    int waiting = 0;
    return ioctl(slave, FIONREAD, &waiting) == 0 ? waiting : 0;
}

bool ComLink::make(const fs::path& path, const std::string& target, std::string& error) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        if (fs::exists(path, ec)) {
            error = path.string() + " already exists (-> " + fs::read_symlink(path, ec).string() +
                    "); another simulator may be running. Remove it or choose another --port";
            return false;
        }
        fs::remove(path, ec); // left behind by a simulator that was killed
    }
    fs::create_symlink(target, path, ec);
    if (ec) {
        error = "cannot make " + path.string() + ": " + ec.message();
        return false;
    }
    m_path = path;
    m_target = target;
    return true;
}

ComLink::~ComLink() {
    std::error_code ec;
    if (!m_path.empty() && fs::read_symlink(m_path, ec) == m_target)
        fs::remove(m_path, ec);
}

} // namespace qelsim
