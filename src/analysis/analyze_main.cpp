// qel-te-analyze: prints the periodic-error figures of record files, writes the report and the folded curve.
//   qel-te-analyze FILE... [--period SECONDS] [--report out.pdf|out.png] [--csv folded.csv]
//   qel-te-analyze FILE --guide-log GUIDE_LOG ...   (the mount's own error under guiding)
#include "analysis/Analysis.h"
#include "analysis/Figures.h"
#include "analysis/ReportWriter.h"
#include "common/ProgramInfo.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "Usage: qel-te-analyze FILE... [--period SECONDS] [--report out.pdf|out.png] [--csv folded.csv]\n"
    "Prints the periodic-error figures of each record file, one per line, beginning with the worm period.\n"
    "Two files are also compared (before, after). --period gives the worm period instead of finding it;\n"
    "--report writes the plots (PDF: every file; PNG: the first, further files as NAME-2.png ...);\n"
    "--csv writes the folded curve (further files as NAME-2.csv ...).\n"
    "--guide-log GUIDE_LOG (one record file): adds back the guide pulses sent, to analyze the mount's own "
    "error. --version prints the version.\n";

// "out.csv" for the first file, "out-2.csv" for the second ...
std::string numbered(const std::string& path, std::size_t index) {
    if (index == 0)
        return path;
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    const std::string suffix = "-" + std::to_string(index + 1);
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "qel-te-analyze: %s\n", message.c_str());
    return status;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    std::string report, csv;
    analysis::AnalysisOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("qel-te-analyze (%s) %s\n", std::string(common::programTitle).c_str(),
                        std::string(common::programVersion).c_str());
            return 0;
        } else if (arg == "--period" && hasValue) {
            const std::string v = argv[++i];
            double seconds = 0.0;
            const auto r = std::from_chars(v.data(), v.data() + v.size(), seconds);
            if (r.ec != std::errc() || r.ptr != v.data() + v.size() || !(seconds > 0.0))
                return fail(2,
                            "--period needs a number of seconds above 0, such as 478.7 (got \"" + v + "\").");
            options.period = seconds;
        } else if (arg == "--report" && hasValue) {
            report = argv[++i];
        } else if (arg == "--csv" && hasValue) {
            csv = argv[++i];
        } else if (arg == "--guide-log" && hasValue) {
            options.guideLog = argv[++i];
        } else if (arg.rfind("--", 0) == 0) {
            return fail(2, "unknown or incomplete option " + arg + "\n" + kUsage);
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty())
        return fail(2, std::string("no record file given.\n") + kUsage);
    if (!options.guideLog.empty() && files.size() > 1)
        return fail(2, "--guide-log belongs to one record file; give only the record file written with " +
                           options.guideLog + ".");

    std::vector<analysis::Analysis> results;
    int status = 0;
    for (const std::string& file : files) {
        analysis::AnalysisResult r = analysis::analyzeFile(file, options);
        if (!r.error.empty()) {
            status = fail(1, r.error);
            continue;
        }
        results.push_back(std::move(r.analysis));
    }
    for (const analysis::Analysis& a : results) {
        if (files.size() > 1)
            std::printf("File: %s\n", a.fileName.c_str());
        std::fputs(analysis::figureText(analysis::figures(a)).c_str(), stdout);
    }
    if (results.size() == 2) {
        std::printf("Comparison: %s -> %s\n", results[0].fileName.c_str(), results[1].fileName.c_str());
        std::fputs(analysis::figureText(analysis::comparison(results[0], results[1])).c_str(), stdout);
    }

    for (std::size_t i = 0; i < results.size() && !csv.empty(); ++i) {
        if (!results[i].hasPeriod) {
            status =
                fail(3, "no folded curve for " + results[i].fileName + ": no worm period; give --period.");
            continue;
        }
        const std::string path = numbered(csv, i);
        std::ofstream out(path, std::ios::binary);
        out << analysis::foldedCsv(results[i].series.folded);
        out.close();
        if (!out)
            status = fail(3, "the folded curve could not be written to " + path +
                                 ". Choose another folder or name.");
    }

    if (!report.empty() && !results.empty()) {
        // The report draws with Qt: without a display, Qt's offscreen platform. Such a run has no use for
        // a session's runtime directory, and Qt warns when there is none (or a shared one): it gets a private
        // one, removed at the end, so that the terminal shows only the program's own lines.
        std::optional<QTemporaryDir> runtimeDir;
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            runtimeDir.emplace(QDir::tempPath() + QStringLiteral("/qel-te-analyze-XXXXXX"));
            if (runtimeDir->isValid())
                setenv("XDG_RUNTIME_DIR", runtimeDir->path().toLocal8Bit().constData(), 1);
        }
        QApplication app(argc, argv);
        const bool pdf = QString::fromStdString(report).endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
        std::vector<const analysis::Analysis*> all;
        for (const analysis::Analysis& a : results)
            all.push_back(&a);
        if (pdf) {
            const QString error = analysis::writeReport(QString::fromStdString(report), all);
            if (!error.isEmpty())
                status = fail(3, error.toStdString());
        } else {
            for (std::size_t i = 0; i < all.size(); ++i) {
                const QString error =
                    analysis::writeReport(QString::fromStdString(numbered(report, i)), {all[i]});
                if (!error.isEmpty())
                    status = fail(3, error.toStdString());
            }
        }
    }
    return status;
}
