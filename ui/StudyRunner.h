#pragma once
// Runs a study off the GUI thread: rows of a sweep or tolerance study as they finish, or the
// result of a solve or fit at the end. The window polls it, so the GUI never waits on it.
#include "study/Executor.h"
#include "study/Solve.h"
#include "study/Study.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class QThread;

namespace kalvex::ui {

class StudyRunner : public QObject {
    Q_OBJECT
public:
    explicit StudyRunner(QObject* parent = nullptr);
    ~StudyRunner() override;

    // Starts the study; StudyError (on this thread) when its rows cannot be made.
    void start(const study::Study& study);
    // No new run starts; runs under way finish and their rows are kept.
    void cancel();
    bool running() const { return thread_ != nullptr; }
    bool cancelled() const { return cancel_.load(); }

    std::size_t total() const { return total_; }      // rows of a sweep or tolerance study
    std::size_t done() const { return done_.load(); }
    double elapsedSeconds() const;
    // The rows finished since the last call, in row order.
    std::vector<study::RowResult> takeRows();
    const std::vector<study::Parameter>& varied() const { return varied_; }

    // After `finished`: the outcome of a solve or fit, or the message of a study that failed.
    const std::optional<study::SolveResult>& solveResult() const { return solve_; }
    const std::optional<study::FitResult>& fitResult() const { return fit_; }
    const std::string& error() const { return error_; }
    // After a solve: the model over its bracket, a few runs, so the window can show the curve
    // the target was found on.
    const std::vector<study::RowResult>& bracketRows() const { return bracketRows_; }

signals:
    void progressed();  // rows arrived, or time went by
    void finished();

private:
    void poll();
    void threadDone();
    void work(const study::Study& study, std::optional<study::RowSet> rows);

    std::unique_ptr<QThread> thread_;
    QTimer poll_;
    std::atomic<bool> cancel_{false};
    std::atomic<std::size_t> done_{0};
    std::size_t total_ = 0;
    std::vector<study::Parameter> varied_;
    std::chrono::steady_clock::time_point started_;
    std::mutex pendingLock_;
    std::vector<study::RowResult> pending_;
    std::optional<study::SolveResult> solve_;
    std::optional<study::FitResult> fit_;
    std::string error_;
    std::vector<study::RowResult> bracketRows_;
};

}  // namespace kalvex::ui
