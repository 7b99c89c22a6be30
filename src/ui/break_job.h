#pragma once

#include "analysis/candidates.h"
#include "analysis/work.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <stop_token>
#include <thread>

namespace zelmak {

// A search of the break window, run off the window's thread: its progress and its end come back
// as signals on the window's thread. Cancel asks the search's threads to stop; they end within one
// item of work (a few milliseconds). Destroying the job cancels it and waits for its threads.
class BreakJob : public QObject {
    Q_OBJECT

public:
    using Work = std::function<analysis::SearchResult(const analysis::RunOptions&)>;

    explicit BreakJob(QObject* parent = nullptr);
    ~BreakJob() override;

    bool running() const { return m_running; }
    // Starts work on `threads` threads; nothing happens while another search runs.
    void start(Work work, unsigned threads);
    void cancel();
    // Waits until the search's threads have ended (its signal may still be on its way).
    void wait();

signals:
    void progressed(const zelmak::analysis::Progress& progress);
    // result.stopped when cancelled; error is not empty when the search could not run.
    void finished(const zelmak::analysis::SearchResult& result, const QString& error);

private:
    std::stop_source m_stop;
    std::jthread m_thread;
    std::atomic<bool> m_running{false};
};

// All cores but one for a search, at least one: the window's own thread keeps one free.
unsigned searchThreads();

} // namespace zelmak
