#include "app/archive/WholeFileCheck.h"

#include "core/SessionArchive.h"

#include <QFileInfo>
#include <QMetaObject>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Files read before the window hears of what they showed.
constexpr std::size_t filesPerBatch = 64;

// The lowest nice value rather than the idle class: on a busy machine an
// idle thread may wait minutes to tell a damaged file. On Linux a thread has
// a nice value of its own.
void lowerThisThreadsPriority() { setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19); }

} // namespace

WholeFileCheck::WholeFileCheck(QObject *parent) : QObject(parent)
{
    worker = std::thread([this] { run(); });
}

WholeFileCheck::~WholeFileCheck()
{
    {
        const std::lock_guard lock(mutex);
        quit = true;
    }
    wake.notify_all();
    worker.join();
}

void WholeFileCheck::Add(const std::vector<std::string> &paths)
{
    if (paths.empty())
        return;
    {
        const std::lock_guard lock(mutex);
        queue.insert(queue.end(), paths.begin(), paths.end());
    }
    wake.notify_all();
}

void WholeFileCheck::run()
{
    lowerThisThreadsPriority();
    TSimpleFileStream buffer;
    for (;;) {
        std::vector<std::string> batch;
        bool emptied = false;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return quit || !queue.empty(); });
            if (quit)
                return;
            while (!queue.empty() && batch.size() < filesPerBatch) {
                batch.push_back(std::move(queue.front()));
                queue.pop_front();
            }
            emptied = queue.empty();
        }
        QStringList damaged;
        for (const std::string &path : batch) {
            TCLTSession session;
            try {
                ReadSessionFile(path, session, buffer);
            } catch (const StreamError &) {
                // A file deleted while it was read is not damaged.
                if (QFileInfo::exists(QString::fromStdString(path)))
                    damaged << QFileInfo(QString::fromStdString(path)).fileName();
            }
            const std::lock_guard lock(mutex);
            if (quit)
                return;
        }
        QMetaObject::invokeMethod(
            this,
            [this, damaged, emptied] {
                if (!damaged.isEmpty())
                    emit Damaged(damaged);
                if (emptied)
                    emit Idle();
            },
            Qt::QueuedConnection);
    }
}
