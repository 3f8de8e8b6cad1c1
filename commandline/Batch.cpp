#include "commandline/Batch_p.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

#include "commandline/CommandLineTexts_p.h"
#include "commandline/LineReader_p.h"
#include "commandline/NamedCharacters_p.h"
#include "label/BarcodeDrawing.h"
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
    bool written = false;
    QString report;
};

void Write(Job& job, BarcodeDrawing& drawing, const FileSettings& settings) {
    if (!job.line.problem.isEmpty()) {
        job.report = job.line.problem;
        return;
    }
    try {
        const Text uncarried = drawing.Draw(job.line.text);
        WriteWholeFile(job.path, drawing.File(settings), Writing::Quickly);
        job.written = true;
        if (!uncarried.empty()) job.report = NotCarried(Named(uncarried));
    } catch (...) {
        job.report = QString::fromStdString(DescribeCurrentException());
    }
}

// Workers that each draw on a surface of their own, made in their own
// thread, over rounds of jobs that the caller fills between rounds.
class Workers {
public:
    Workers(unsigned count, const FileSettings& settings)
        : settings_(settings), start_(count + 1), done_(count + 1) {
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
            drawing.emplace(settings_.format);
        } catch (...) {
            failure = QString::fromStdString(DescribeCurrentException());
        }
        for (;;) {
            start_.arrive_and_wait();
            if (finished_) return;
            for (std::size_t i = next_++; i < jobs_->size(); i = next_++) {
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
    std::barrier<> start_;
    std::barrier<> done_;
    std::vector<std::thread> threads_;
    std::vector<Job>* jobs_ = nullptr;
    std::atomic<std::size_t> next_ = 0;
    std::atomic<bool> finished_ = false;
};

unsigned WorkerCount() { return std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers); }

}  // namespace

int RunBatch(const WriteBatch& request, QTextStream& out, QTextStream& err) {
    const bool standardInput = request.list == QStringLiteral("-");
    QFile list;
    // By its descriptor: a QFile over a FILE* reads lines with fgets, which cuts
    // a line at a NUL byte and drops the rest of it unseen.
    const bool opened = standardInput ? list.open(fileno(stdin), QIODevice::ReadOnly)
                                      : (list.setFileName(request.list), list.open(QIODevice::ReadOnly));
    if (!opened) {
        err << kProgram << ": " << CannotRead(request.list, list.errorString()) << Qt::endl;
        return 1;
    }
    if (!QDir().mkpath(request.folder)) {
        err << kProgram << ": " << CannotMakeFolder(request.folder) << Qt::endl;
        return 1;
    }
    const QString listName = standardInput ? QStringLiteral("standard input") : request.list;
    const QDir folder(request.folder);
    FileNamer namer(SuffixOf(request.settings.format));
    LineReader reader(list);
    Workers workers(WorkerCount(), request.settings);
    qint64 texts = 0;
    qint64 written = 0;
    std::vector<Job> jobs;
    for (bool more = true; more;) {
        jobs.clear();
        while (jobs.size() < kTextsPerRound) {
            auto line = reader.Next();
            if (!line) {
                more = false;
                break;
            }
            const QString path = line->problem.isEmpty() ? folder.filePath(namer.Next(line->text)) : QString();
            jobs.push_back(Job{std::move(*line), path, false, {}});
        }
        workers.Run(jobs);
        for (const Job& job : jobs) {
            ++texts;
            written += job.written ? 1 : 0;
            if (!job.report.isEmpty()) {
                err << kProgram << ": " << listName << ':' << job.line.number << ": " << job.report << '\n';
            }
        }
    }
    err.flush();
    out << Summary(written, texts, request.folder) << Qt::endl;
    return written == texts ? 0 : 1;
}

}  // namespace tallyline::commandline
