// Which device a port number of List1 ("1" … "8") names on this machine, and the line settings text
// "9600,n,8,1". Plain C++ so the naming rule is tested without a serial port; SerialLink uses it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace acquisition {

// The device found for a port number.
struct PortDevice {
    std::string path; // what to open: "/dev/ttyUSB0", "/dev/pts/5", "COM3"
    std::string link; // the COM<n> link in the working directory it was found through; empty otherwise
};

enum class PortNaming { Posix, Windows };

#ifdef _WIN32
inline constexpr PortNaming nativePortNaming = PortNaming::Windows;
#else
inline constexpr PortNaming nativePortNaming = PortNaming::Posix;
#endif

// True when a directory entry exists at the path; a link counts even when its target is gone.
using EntryExists = std::function<bool(const std::string& path)>;

inline constexpr int lowestPortNumber = 1;
inline constexpr int highestPortNumber = 255;

// The device for port n, 1 … 255; nullopt for any other number (no port chosen).
// Windows: "COM<n>". Posix, first that exists: "<workDir>/COM<n>" (a link the operator makes to a stable
// name such as /dev/serial/by-id/…, returned unresolved), "/dev/ttyUSB<n-1>"; otherwise "/dev/ttyS<n-1>".
std::optional<PortDevice> choosePortDevice(int port, const std::string& workDir, const EntryExists& exists,
                                           PortNaming naming = nativePortNaming);

// choosePortDevice on the real file system, with a COM<n> link resolved to the device it points at
// (a dangling link gives its absolute target, so opening it fails naming the missing device).
std::optional<PortDevice> findPortDevice(int port, const std::string& workDir);

// Reads a symbolic link: its target as stored (relative or absolute); nullopt when the entry is no link.
using ReadLink = std::function<std::optional<std::string>(const std::string& path)>;

// Where to look for a port again after its device went away during a run.
struct ReopenChoice {
    std::optional<PortDevice> device; // what to open now (with the same link); nullopt: not back yet
    // When device is nullopt, why, in words: "/w/COM1 leads to /dev/pts/5, which is not there".
    std::string notBack;
};

// The device to try now for a port that was opened as `opened` (what findPortDevice gave at Start). Through
// its COM<n> link when it had one: the link is followed afresh, link by link, so that an adapter back under
// another device node behind the same link is found; a link that is gone, leads to nothing or goes round in
// circles means "not back yet", never /dev/ttyUSB<n-1> or /dev/ttyS<n-1> (a built-in port would open and
// record nothing, or noise). Without a link: the same device path, whose opening says whether it is back.
ReopenChoice chooseReopenDevice(const PortDevice& opened, const EntryExists& exists,
                                const ReadLink& readLink);

// chooseReopenDevice on the real file system.
ReopenChoice findReopenDevice(const PortDevice& opened);

// The port as the operator chose it and the device it maps to, for messages: "port 1 (COM1 → /dev/ttyUSB0)"
// when reached through a COM<n> link (link is that link's path; only its name is shown), else
// "port 1 (/dev/ttyUSB0)". UTF-8.
std::string portForOperator(int port, std::string_view device, std::string_view link);

// Line settings in the serial control's text form "baud,parity,data bits,stop bits", e.g. "9600,n,8,1".
struct LineSettings {
    int baud = 9600;
    char parity = 'n'; // n, e, o, m, s
    int dataBits = 8;  // 5 … 8
    int stopBits = 1;  // 1 or 2
};

inline constexpr std::string_view qelLineSettings = "9600,n,8,1";

// nullopt when the text is not of that form (unknown parity, data bits outside 5 … 8, stop bits not 1 or 2,
// baud not a positive whole number). Parity is accepted in either case.
std::optional<LineSettings> parseLineSettings(std::string_view text);

} // namespace acquisition
