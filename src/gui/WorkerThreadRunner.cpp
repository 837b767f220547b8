#include "gui/WorkerThreadRunner.h"

#include <QEventLoop>
#include <QThread>

#include <memory>

void WorkerThreadRunner::Run(const std::function<void()>& step)
{
    std::unique_ptr<QThread> worker(QThread::create(step));
    QEventLoop loop;
    // Queued: the thread's finished signal reaches the loop even when it comes before exec().
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    loop.exec();
    worker->wait();
}
