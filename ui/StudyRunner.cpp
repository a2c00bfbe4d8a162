#include "ui/StudyRunner.h"

#include "study/StudyError.h"
#include "study/TableCap.h"

#include <QThread>

namespace kalvex::ui {

namespace {
constexpr int kPollMs = 100;      // the window's progress and table follow within this
constexpr int kBracketRuns = 11;  // runs that draw the output over a solve's bracket

// The solve's parameter over its bracket, as a sweep.
study::Study bracketSweep(const study::Study& solve)
{
    study::Study sweep = solve;
    sweep.kind = study::StudyKind::sweep;
    study::SweepAxis axis;
    axis.parameter = solve.solve.parameter;
    axis.from = solve.solve.lower;
    axis.to = solve.solve.upper;
    axis.count = kBracketRuns;
    sweep.sweep = {axis};
    return sweep;
}
}  // namespace

StudyRunner::StudyRunner(QObject* parent) : QObject(parent)
{
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &StudyRunner::poll);
}

StudyRunner::~StudyRunner()
{
    // a window closed while its study runs: stop it and wait for the runs under way
    if (thread_) {
        cancel_ = true;
        thread_->wait();
    }
}

void StudyRunner::start(const study::Study& study)
{
    if (thread_)
        return;
    std::optional<study::RowSet> rows;
    if (study.kind == study::StudyKind::sweep || study.kind == study::StudyKind::tolerance)
        rows.emplace(study);  // a study that does not validate throws here, before any thread
    else
        study::validateStudy(study);
    if (rows) {
        const std::string tooLarge = study::tableTooLarge(rows->size(), 2 + rows->varied().size() + study::kOutputCount,
            study::kMaxWindowTableRows, "the Study window", "kalvex-study STUDY.json -o ROWS.csv, or its --shard runs");
        if (!tooLarge.empty())
            throw study::StudyError(tooLarge);
    }
    total_ = rows ? rows->size() : 0;
    varied_ = rows ? rows->varied() : std::vector<study::Parameter>{};
    cancel_ = false;
    done_ = 0;
    pending_.clear();
    solve_.reset();
    fit_.reset();
    bracketRows_.clear();
    error_.clear();
    started_ = std::chrono::steady_clock::now();
    thread_.reset(QThread::create([this, study, rows = std::move(rows)]() mutable { work(study, std::move(rows)); }));
    connect(thread_.get(), &QThread::finished, this, &StudyRunner::threadDone);
    thread_->start();
    poll_.start();
}

void StudyRunner::work(const study::Study& study, std::optional<study::RowSet> rows)
{
    try {
        if (rows) {
            study::ExecutorOptions options;
            options.cancel = &cancel_;
            study::runRows(*rows, 0, rows->size(), options, [this](const study::RowResult& row) {
                const std::lock_guard lock(pendingLock_);
                pending_.push_back(row);
                done_ = row.index + 1;
            });
        } else if (study.kind == study::StudyKind::solve) {
            solve_ = study::solveStudy(study, &cancel_);
            const study::RowSet bracket(bracketSweep(study));
            study::ExecutorOptions options;
            options.cancel = &cancel_;
            std::vector<study::RowResult> runs;
            study::runRows(bracket, 0, bracket.size(), options,
                           [&runs](const study::RowResult& row) { runs.push_back(row); });
            bracketRows_ = std::move(runs);  // read by the window only after the thread ends
        } else {
            fit_ = study::fitStudy(study, &cancel_);
        }
    } catch (const std::exception& e) {
        error_ = e.what();
    }
}

void StudyRunner::cancel()
{
    cancel_ = true;
}

double StudyRunner::elapsedSeconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

std::vector<study::RowResult> StudyRunner::takeRows()
{
    const std::lock_guard lock(pendingLock_);
    std::vector<study::RowResult> rows;
    rows.swap(pending_);
    return rows;
}

void StudyRunner::poll()
{
    emit progressed();
}

void StudyRunner::threadDone()
{
    poll_.stop();
    thread_.reset();
    emit progressed();
    emit finished();
}

}  // namespace kalvex::ui
