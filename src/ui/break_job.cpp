#include "break_job.h"

#include <QMetaObject>

#include <exception>

namespace zelmak {

BreakJob::BreakJob(QObject* parent) : QObject(parent) {}

BreakJob::~BreakJob() {
    cancel();
    wait();
}

void BreakJob::start(Work work, unsigned threads) {
    if (m_running)
        return;
    wait();
    m_stop = std::stop_source();
    m_running = true;
    analysis::RunOptions options;
    options.threads = threads;
    options.stop = m_stop.get_token();
    options.progress = [this](const analysis::Progress& p) {
        QMetaObject::invokeMethod(
            this, [this, p] { emit progressed(p); }, Qt::QueuedConnection);
    };
    m_thread = std::jthread([this, work = std::move(work), options] {
        analysis::SearchResult result;
        QString error;
        try {
            result = work(options);
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
        QMetaObject::invokeMethod(
            this,
            [this, result = std::move(result), error] {
                m_running = false;
                emit finished(result, error);
            },
            Qt::QueuedConnection);
    });
}

void BreakJob::cancel() {
    m_stop.request_stop();
}

void BreakJob::wait() {
    if (m_thread.joinable())
        m_thread.join();
}

unsigned searchThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? cores - 1 : 1;
}

} // namespace zelmak
