// Port number to device, and the line settings text.
#include "acquisition/PortDevice.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace acquisition {

namespace {

std::string decimal(int value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty())
        return name;
    return dir.back() == '/' ? dir + name : dir + '/' + name;
}

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<PortDevice> choosePortDevice(int port, const std::string& workDir, const EntryExists& exists,
                                           PortNaming naming) {
    if (port < lowestPortNumber || port > highestPortNumber)
        return std::nullopt;
    const std::string com = "COM" + decimal(port);
    if (naming == PortNaming::Windows)
        return PortDevice{com, {}};

    const std::string link = joinPath(workDir, com);
    if (exists(link))
        return PortDevice{link, link};
    const std::string usb = "/dev/ttyUSB" + decimal(port - 1);
    if (exists(usb))
        return PortDevice{usb, {}};
    return PortDevice{"/dev/ttyS" + decimal(port - 1), {}};
}

std::optional<PortDevice> findPortDevice(int port, const std::string& workDir) {
    namespace fs = std::filesystem;
    const auto entryExists = [](const std::string& path) {
        std::error_code ec;
        return fs::exists(fs::symlink_status(path, ec));
    };
    auto device = choosePortDevice(port, workDir, entryExists);
    if (!device || device->link.empty())
        return device;

    std::error_code ec;
    const fs::path linkPath = fs::absolute(device->link, ec);
    const fs::path target = fs::canonical(linkPath, ec);
    if (!ec) {
        device->path = target.string();
    } else if (fs::is_symlink(fs::symlink_status(linkPath, ec))) {
        // Dangling: name the missing target rather than the link, so the failure says what is gone.
        fs::path next = fs::read_symlink(linkPath, ec);
        if (!ec)
            device->path =
                (next.is_absolute() ? next : linkPath.parent_path() / next).lexically_normal().string();
    }
    device->link = linkPath.lexically_normal().string();
    return device;
}

ReopenChoice chooseReopenDevice(const PortDevice& opened, const EntryExists& exists,
                                const ReadLink& readLink) {
    namespace fs = std::filesystem;
    if (opened.link.empty())
        return {opened, {}};
    if (!exists(opened.link))
        return {std::nullopt, opened.link + " is not there"};
    // As the system follows links, at most 40 deep (a by-id link to ../../ttyUSB0 is one more step).
    constexpr int maxLinks = 40;
    fs::path at = opened.link;
    for (int step = 0; step < maxLinks; ++step) {
        const auto target = readLink(at.string());
        if (!target)
            return {PortDevice{at.string(), opened.link}, {}};
        fs::path next = *target;
        if (next.is_relative())
            next = at.parent_path() / next;
        next = next.lexically_normal();
        if (!exists(next.string()))
            return {std::nullopt, opened.link + " leads to " + next.string() + ", which is not there"};
        at = std::move(next);
    }
    return {std::nullopt, opened.link + " leads round in circles"};
}

ReopenChoice findReopenDevice(const PortDevice& opened) {
    namespace fs = std::filesystem;
    const auto entryExists = [](const std::string& path) {
        std::error_code ec;
        return fs::exists(fs::symlink_status(path, ec));
    };
    const auto readLink = [](const std::string& path) -> std::optional<std::string> {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec)))
            return std::nullopt;
        fs::path target = fs::read_symlink(path, ec);
        if (ec)
            return std::nullopt;
        return target.string();
    };
    return chooseReopenDevice(opened, entryExists, readLink);
}

std::optional<LineSettings> parseLineSettings(std::string_view text) {
    std::string_view fields[4];
    std::size_t count = 0;
    while (true) {
        const auto comma = text.find(',');
        if (count == 4)
            return std::nullopt;
        fields[count++] = text.substr(0, comma);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (count != 4 || fields[1].size() != 1)
        return std::nullopt;

    LineSettings settings;
    const auto baud = wholeNumber(fields[0]);
    const auto dataBits = wholeNumber(fields[2]);
    const auto stopBits = wholeNumber(fields[3]);
    char parity = fields[1][0];
    if (parity >= 'A' && parity <= 'Z')
        parity = static_cast<char>(parity - 'A' + 'a');
    if (!baud || *baud <= 0 || !dataBits || *dataBits < 5 || *dataBits > 8 || !stopBits ||
        (*stopBits != 1 && *stopBits != 2) ||
        std::string_view("neoms").find(parity) == std::string_view::npos)
        return std::nullopt;
    settings.baud = *baud;
    settings.parity = parity;
    settings.dataBits = *dataBits;
    settings.stopBits = *stopBits;
    return settings;
}

std::string portForOperator(int port, std::string_view device, std::string_view link) {
    std::string text = "port " + std::to_string(port) + " (";
    if (!link.empty()) {
        const std::size_t slash = link.find_last_of("/\\");
        text += link.substr(slash == std::string_view::npos ? 0 : slash + 1);
        text += " \u2192 ";
    }
    text += device;
    return text + ")";
}

} // namespace acquisition
