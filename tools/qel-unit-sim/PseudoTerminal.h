// The QEL unit's end of a serial line: a raw 9600-baud pseudo-terminal, and the COM<n> link a recorder opens
// from its working directory. Used by qel-unit-sim and guided-sky-sim.
#pragma once

#include <filesystem>
#include <string>

namespace qelsim {

struct Pty {
    int master = -1; // the unit writes here; non-blocking
    int slave = -1;  // kept open all along: without it the master reads EIO once the recorder closes
    std::string slavePath;

    Pty() = default;
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    ~Pty();

    // False with the reason in `error` when no pseudo-terminal could be made.
    bool create(std::string& error);
    // Bytes written and not yet read by the recorder.
    int unread() const;
};

// COM<n> in the given directory, pointing at the pseudo-terminal; removed again only if still ours.
class ComLink {
public:
    ComLink() = default;
    ComLink(const ComLink&) = delete;
    ComLink& operator=(const ComLink&) = delete;
    ~ComLink();

    // False with the reason in `error` when the link exists and is alive, or cannot be made.
    bool make(const std::filesystem::path& path, const std::string& target, std::string& error);

private:
    std::filesystem::path m_path;
    std::string m_target;
};

} // namespace qelsim
