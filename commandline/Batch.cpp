#include "commandline/Batch_p.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <cerrno>
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

    void Run(std::vector<Job>& jobs) {
        jobs_ = &jobs;
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
            drawing.emplace(settings_.format, rules_);
        } catch (...) {
            failure = QString::fromStdString(DescribeCurrentException());
        }
        for (;;) {
            start_.arrive_and_wait();
            if (finished_) return;
            for (std::size_t i = next_++; i < jobs_->size() && !Interruption::Signal(); i = next_++) {
                if (drawing) {
                    Write((*jobs_)[i], *drawing, settings_);
                } else {
                    (*jobs_)[i].report = failure;
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

bool OpenList(const QString& path, QFile& list, QString& listName, QTextStream& err) {
    const bool standardInput = path == QStringLiteral("-");
    // By its descriptor: a QFile over a FILE* reads lines with fgets, which cuts
    // a line at a NUL byte and drops the rest of it unseen.
    const bool opened = standardInput ? list.open(STDIN_FILENO, QIODevice::ReadOnly)
                                      : (list.setFileName(path), list.open(QIODevice::ReadOnly));
    listName = standardInput ? QStringLiteral("standard input") : path;
    if (standardInput && WasClosed(STDIN_FILENO)) {
        err << kProgram << ": " << CannotRead(listName, qt_error_string(EBADF)) << Qt::endl;
        return false;
    }
    if (!opened) {
        err << kProgram << ": " << CannotRead(listName, list.errorString()) << Qt::endl;
        return false;
    }
    return true;
}

bool ReportUnreadRest(const LineReader& reader, const QString& listName, QTextStream& err) {
    if (reader.Failure().isEmpty()) return false;
    const qint64 read = reader.LinesRead();
    err << kProgram << ": "
        << (read ? CannotReadPast(listName, read, reader.Failure()) : CannotRead(listName, reader.Failure())) << '\n';
    return true;
}

int RunBatch(const WriteBatch& request, QTextStream& out, QTextStream& err) {
    QFile list;
    QString listName;
    if (!OpenList(request.list, list, listName, err)) return 1;
    if (const QString reason = MakeFolder(request.folder); !reason.isEmpty()) {
        err << kProgram << ": " << CannotMakeFolder(request.folder, reason) << Qt::endl;
        return 1;
    }
    const QDir folder(request.folder);
    const QString suffix = QChar(u'.') + SuffixOf(request.settings.format);
    const Interruption interruption;
    LineReader reader(list);
    Workers workers(WorkerCount(), request.settings, request.rules);
    qint64 texts = 0;
    qint64 written = 0;
    qint64 alreadyThere = 0;
    std::vector<Job> jobs;
    for (bool more = true; more && !Interruption::Signal();) {
        jobs.clear();
        while (jobs.size() < kTextsPerRound) {
            auto line = reader.Next();
            if (!line) {
                more = false;
                break;
            }
            const QString path = line->problem.isEmpty() ? folder.filePath(SafeFileStem(line->text) + suffix) : QString();
            jobs.push_back(Job{std::move(*line), path, std::nullopt, false, {}});
        }
        workers.Run(jobs);
        for (const Job& job : jobs) {
            if (!job.tried) continue;
            ++texts;
            written += job.written && *job.written != Written::AlreadyThere ? 1 : 0;
            alreadyThere += job.written && *job.written == Written::AlreadyThere ? 1 : 0;
            if (!job.report.isEmpty()) {
                err << kProgram << ": " << listName << ':' << job.line.number << ": " << job.report << '\n';
            }
        }
    }
    bool lost = written + alreadyThere != texts;
    lost = ReportUnreadRest(reader, listName, err) || lost;
    try {
        SyncFolder(request.folder);
    } catch (...) {
        err << kProgram << ": " << QString::fromStdString(DescribeCurrentException()) << '\n';
        lost = true;
    }
    const int signal = Interruption::Signal();
    if (signal) err << kProgram << ": " << Interrupted(signal, listName) << '\n';
    err.flush();
    out << Summary(written, texts, request.folder, alreadyThere) << Qt::endl;
    if (signal) return StatusOfSignal(signal);
    return lost ? 1 : 0;
}

}  // namespace tallyline::commandline
