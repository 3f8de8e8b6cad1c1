#include "commandline/Batch_p.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

#include "commandline/CommandLineTexts_p.h"
#include "commandline/Interruption_p.h"
#include "commandline/LineReader_p.h"
#include "commandline/NamedCharacters_p.h"
#include "commandline/StandardStreams_p.h"
#include "label/BarcodeDrawing.h"
#include "label/LabelFiles.h"
#include "label/SafeFileNames.h"
#include "platform/core/Failures.h"
#include "platform/files/WholeFile.h"

namespace tallyline::commandline {
namespace {

// Texts handed to the workers at a time: enough to keep them busy, few
// enough that memory stays flat however long the list.
constexpr std::size_t kTextsPerRound = 256;
constexpr unsigned kMostWorkers = 4;

struct Job {
    ListLine line;
    QString path;
    // Whether an earlier job of its round has the same path: it waits for
    // that one, so that the first of two is the one written in every run.
    bool repeat = false;
    // Nothing while the job is not done: a batch that is told to end leaves
    // the rest of its round undone.
    std::optional<Written> written;
    bool tried = false;
    QString report;
};

void Write(Job& job, BarcodeDrawing& drawing, const FileSettings& settings) {
    job.tried = true;
    if (!job.line.problem.isEmpty()) {
        job.report = job.line.problem;
        return;
    }
    try {
        const Text uncarried = drawing.Draw(job.line.text);
        job.written = WriteWholeFile(job.path, drawing.File(settings), Writing::Quickly);
        if (*job.written == Written::AlreadyThere) {
            job.report = AlreadyThere(job.path);
            return;
        }
        QStringList warnings;
        if (!uncarried.empty()) warnings << NotCarried(Named(uncarried));
        if (const QString large = SizeWarning(drawing, settings); !large.isEmpty()) warnings << large;
        job.report = warnings.join(QStringLiteral("; "));
    } catch (...) {
        job.report = DescribeFailure();
    }
}

// Makes the folder and those above it; why not, or nothing.
QString MakeFolder(const QString& folder) {
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    return error ? QString::fromStdString(error.message()) : QString();
}

// Workers that each draw on a surface of their own, made in their own
// thread, over rounds of jobs that the caller fills between rounds.
class Workers {
public:
    Workers(unsigned count, const FileSettings& settings, const DrawingRules& rules)
        : settings_(settings), rules_(rules), start_(count + 1), done_(count + 1) {
        for (unsigned i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
    }
    ~Workers() {
        finished_ = true;
        start_.arrive_and_wait();
        for (std::thread& thread : threads_) thread.join();
    }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // Does the jobs that are repeats, or those that are not.
    void Run(std::vector<Job>& jobs, bool repeats) {
        jobs_ = &jobs;
        repeats_ = repeats;
        next_ = 0;
        start_.arrive_and_wait();
        done_.arrive_and_wait();
    }

private:
    void Work() {
        // A worker that cannot draw still takes its share, failing each.
        std::optional<BarcodeDrawing> drawing;
        QString failure;
        try {
            drawing.emplace(settings_, rules_);
        } catch (...) {
            failure = QString::fromStdString(DescribeCurrentException());
        }
        for (;;) {
            start_.arrive_and_wait();
            if (finished_) return;
            for (std::size_t i = next_++; i < jobs_->size() && !Interruption::Signal(); i = next_++) {
                Job& job = (*jobs_)[i];
                if (job.repeat != repeats_) continue;
                if (drawing) {
                    Write(job, *drawing, settings_);
                } else {
                    job.report = failure;
                }
            }
            done_.arrive_and_wait();
        }
    }

    const FileSettings settings_;
    const DrawingRules rules_;
    std::barrier<> start_;
    std::barrier<> done_;
    std::vector<std::thread> threads_;
    std::vector<Job>* jobs_ = nullptr;
    bool repeats_ = false;
    std::atomic<std::size_t> next_ = 0;
    std::atomic<bool> finished_ = false;
};

unsigned WorkerCount() { return std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers); }

}  // namespace

QString SizeWarning(const BarcodeDrawing& drawing, const FileSettings& settings) {
    if (settings.format != PictureFormat::Png) return {};
    const QSize size = PngSizeOf(drawing.Surface(), settings);
    return size.width() > kLargestReadablePng || size.height() > kLargestReadablePng ? LargePng(size) : QString();
}

std::unique_ptr<LineReader> OpenList(const QString& path, QString& listName, QTextStream& err) {
    if (path == QStringLiteral("-")) {
        listName = QStringLiteral("standard input");
        if (!WasClosed(STDIN_FILENO))
            return std::make_unique<LineReader>(STDIN_FILENO, LineReader::Ownership::Borrowed);
        err << kProgram << ": " << CannotRead(listName, qt_error_string(EBADF)) << Qt::endl;
        return nullptr;
    }
    listName = path;
    // Not blocking: a FIFO with no writer yet is waited for in the reader,
    // where a signal ends the wait.
    const int descriptor = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor >= 0) return std::make_unique<LineReader>(descriptor, LineReader::Ownership::Owned);
    err << kProgram << ": " << CannotRead(listName, qt_error_string(errno)) << Qt::endl;
    return nullptr;
}

bool ReportUnreadRest(const LineReader& reader, const QString& listName, QTextStream& err) {
    if (reader.Failure().isEmpty()) return false;
    const qint64 read = reader.LinesRead();
    err << kProgram << ": "
        << (read ? CannotReadPast(listName, read, reader.Failure()) : CannotRead(listName, reader.Failure())) << '\n';
    return true;
}

int RunBatch(const WriteBatch& request, QTextStream& out, QTextStream& err) {
    QString listName;
    const auto reader = OpenList(request.list, listName, err);
    if (!reader) return 1;
    if (const QString reason = MakeFolder(request.folder); !reason.isEmpty()) {
        err << kProgram << ": " << CannotMakeFolder(request.folder, reason) << Qt::endl;
        return 1;
    }
    const QDir folder(request.folder);
    const QString suffix = QChar(u'.') + SuffixOf(request.settings.format);
    const Interruption interruption;
    Workers workers(WorkerCount(), request.settings, request.rules);
    qint64 texts = 0;
    qint64 written = 0;
    qint64 alreadyThere = 0;
    std::vector<Job> jobs;
    QSet<QString> paths;
    for (bool more = true; more && !Interruption::Signal();) {
        jobs.clear();
        paths.clear();
        bool repeats = false;
        // A round waits for its first line and takes what else is at hand: the
        // lines of a slow writer are written as they come.
        while (jobs.size() < kTextsPerRound) {
            auto line = jobs.empty() ? reader->Next() : reader->NextAtHand();
            if (!line) {
                more = !reader->Ended();
                break;
            }
            const QString path = line->problem.isEmpty()
                                     ? folder.filePath(SafeFileStem(line->text, request.rules.fullAscii) + suffix)
                                     : QString();
            const bool repeat = !path.isEmpty() && paths.contains(path);
            if (!path.isEmpty()) paths.insert(path);
            repeats = repeats || repeat;
            jobs.push_back(Job{std::move(*line), path, repeat, std::nullopt, false, {}});
        }
        workers.Run(jobs, false);
        if (repeats) workers.Run(jobs, true);
        for (const Job& job : jobs) {
            if (!job.tried) continue;
            ++texts;
            written += job.written && *job.written != Written::AlreadyThere ? 1 : 0;
            alreadyThere += job.written && *job.written == Written::AlreadyThere ? 1 : 0;
            if (!job.report.isEmpty()) {
                err << kProgram << ": " << listName << ':' << job.line.number << ": " << job.report << '\n';
            }
        }
        // Each round's reports as it ends, for a reader who follows them.
        err.flush();
    }
    const bool readWhole = !ReportUnreadRest(*reader, listName, err);
    bool lost = !readWhole || written + alreadyThere != texts;
    try {
        SyncFolder(request.folder);
    } catch (...) {
        err << kProgram << ": " << QString::fromStdString(DescribeCurrentException()) << '\n';
        lost = true;
    }
    const int signal = Interruption::Signal();
    if (signal) err << kProgram << ": " << Interrupted(signal, listName) << '\n';
    err.flush();
    out << Summary(written, texts, request.folder, alreadyThere, readWhole && signal == 0, listName) << Qt::endl;
    if (signal) return StatusOfSignal(signal);
    return lost ? 1 : 0;
}

}  // namespace tallyline::commandline
