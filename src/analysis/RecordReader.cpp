// Block-wise reading of record files and the reconstruction of each reading's time from its stamp.
#include "analysis/RecordReader.h"

#include "analysis/RecordLine.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace analysis {
namespace {

constexpr double kHundredthsPerDay = 8640000.0;

// Collects parsed lines; finish() turns the stamps into times and runs.
class RecordBuilder {
public:
    explicit RecordBuilder(const ReadOptions& options)
        : m_options(options)
        , m_months(options.monthNames)
        , m_parser(m_months) {}

    void reserve(std::size_t readings) {
        m_rec.seconds.reserve(readings);
        m_rec.codes.reserve(readings);
    }

    void addLine(std::string_view line) {
        ++m_rec.lineCount;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(' ') == std::string_view::npos)
            return; // a blank line holds no reading
        ParsedLine parsed;
        const LineFault fault = m_parser.parse(line, parsed);
        if (fault != LineFault::None) {
            if (m_rec.badLines.size() < kMaxBadLinesKept)
                m_rec.badLines.push_back({m_rec.lineCount, std::string(faultText(fault))});
            ++m_rec.badLineCount;
            return;
        }
        if (m_rec.codes.empty())
            m_rec.firstDayNumber = parsed.dayNumber;
        // Hundredths since the first reading's midnight: whole numbers, exact in a double.
        m_rec.seconds.push_back(static_cast<double>(parsed.dayNumber - m_rec.firstDayNumber) *
                                    kHundredthsPerDay +
                                parsed.hundredthsOfDay);
        m_rec.codes.push_back(parsed.code);
    }

    Recording finish() {
        splitRuns();
        m_rec.readingRate = m_options.readingRate.value_or(estimateRate());
        spreadBursts();
        return std::move(m_rec);
    }

private:
    // Stamps are in hundredths here.
    void splitRuns() {
        std::vector<double>& s = m_rec.seconds;
        const double gap = m_options.newRunGap * 100.0;
        std::size_t start = 0;
        for (std::size_t i = 1; i < s.size(); ++i) {
            const double step = s[i] - s[i - 1];
            if (step < 0.0 && step >= -100.0) {
                // Not a new run: hundredths "00" read while the seconds still showed the previous second,
                // or a clock read a little behind the last one.
                const bool wholeSecond = std::fmod(s[i], 100.0) == 0.0;
                s[i] = wholeSecond ? std::max(s[i] + 100.0, s[i - 1]) : s[i - 1];
            } else if (step < -100.0 || step > gap) {
                m_rec.runs.push_back({start, i});
                start = i;
            }
        }
        if (!s.empty())
            m_rec.runs.push_back({start, s.size()});
    }

    double estimateRate() const {
        double readings = 0.0;
        double span = 0.0;
        for (const Run& run : m_rec.runs) {
            readings += static_cast<double>(run.end - run.first - 1);
            span += (m_rec.seconds[run.end - 1] - m_rec.seconds[run.first]) / 100.0;
        }
        if (span <= 0.0 || readings <= 0.0)
            return 8.0;
        const double rate = readings / span;
        // The units' own rates: 8/s, 5/s, and one in eight of the 5 Hz unit's.
        for (const double unit : {8.0, 5.0, 5.0 / 8.0})
            if (std::abs(rate / unit - 1.0) < 0.15)
                return unit;
        return rate;
    }

    // Readings that share one stamp arrived together: the unit sent them one interval apart before it.
    void spreadBursts() {
        std::vector<double>& s = m_rec.seconds;
        const double interval = 100.0 / m_rec.readingRate;
        for (const Run& run : m_rec.runs) {
            double previousStamp = -1.0;
            std::size_t i = run.first;
            while (i < run.end) {
                std::size_t j = i + 1;
                while (j < run.end && s[j] == s[i])
                    ++j;
                const double stamp = s[i];
                double spacing = interval;
                if (i != run.first)
                    spacing = std::min(interval, (stamp - previousStamp) / static_cast<double>(j - i));
                for (std::size_t k = i; k < j; ++k)
                    s[k] = (stamp - static_cast<double>(j - 1 - k) * spacing) / 100.0;
                previousStamp = stamp;
                i = j;
            }
        }
    }

    const ReadOptions& m_options;
    MonthLookup m_months;
    RecordLineParser m_parser;
    Recording m_rec;
};

std::string noReadingsMessage(const Recording& rec, std::string_view name) {
    std::string msg = std::string(name);
    if (rec.lineCount == 0)
        return msg + " is empty: it holds no record lines. Choose a record file written by the recorder.";
    msg += " holds no readable record line (" + std::to_string(rec.lineCount) + " lines";
    if (!rec.badLines.empty())
        msg +=
            "; line " + std::to_string(rec.badLines.front().lineNumber) + ": " + rec.badLines.front().reason;
    return msg + "). Choose a record file written by the recorder.";
}

} // namespace

ReadResult readRecordText(std::string_view text, const ReadOptions& options, std::string_view name) {
    RecordBuilder builder(options);
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        builder.addLine(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    }
    ReadResult result;
    result.recording = builder.finish();
    if (result.recording.size() == 0)
        result.error = noReadingsMessage(result.recording, name);
    return result;
}

ReadResult readRecordFile(const std::string& path, const ReadOptions& options, const Progress& progress) {
    ReadResult result;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        result.error = "Cannot open " + path + ": " + std::strerror(errno) + ".";
        return result;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        result.error = "Cannot read " + path + ": it is a folder, not a record file.";
        return result;
    }
    const auto size = std::filesystem::is_regular_file(path, ec) ? std::filesystem::file_size(path, ec) : 0;
    const long fileSize = ec ? 0 : static_cast<long>(size);

    RecordBuilder builder(options);
    if (fileSize > 0)
        builder.reserve(static_cast<std::size_t>(fileSize) / 48 + 16); // record lines are 50 to 80 bytes

    // One block buffer; a line cut by the block's end moves to its front.
    constexpr std::size_t kBlock = 1 << 20;
    std::vector<char> buffer(kBlock + 4096);
    std::size_t held = 0;
    std::uint64_t done = 0;
    for (;;) {
        if (held == buffer.size())
            buffer.resize(buffer.size() * 2); // a line longer than the buffer
        const std::size_t got = std::fread(buffer.data() + held, 1, buffer.size() - held, file.get());
        if (got == 0) {
            if (std::ferror(file.get())) {
                result.error = "Cannot read " + path + ": " + std::strerror(errno) + ".";
                return result;
            }
            break;
        }
        done += got;
        const std::size_t filled = held + got;
        std::size_t lineStart = 0;
        for (;;) {
            const void* nl = std::memchr(buffer.data() + lineStart, '\n', filled - lineStart);
            if (!nl)
                break;
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(nl) - buffer.data());
            builder.addLine({buffer.data() + lineStart, at - lineStart});
            lineStart = at + 1;
        }
        held = filled - lineStart;
        std::memmove(buffer.data(), buffer.data() + lineStart, held);
        if (progress && fileSize > 0 &&
            !progress(static_cast<double>(done) / static_cast<double>(fileSize))) {
            result.cancelled = true;
            result.error = "Reading " + path + " was cancelled.";
            return result;
        }
    }
    if (held > 0)
        builder.addLine({buffer.data(), held});
    result.recording = builder.finish();
    if (result.recording.size() == 0)
        result.error = noReadingsMessage(result.recording, path);
    return result;
}

} // namespace analysis
