#pragma once

#include <QObject>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Reads session files whole in the background, at the lowest priority, to
// find the damage that reading their list fields alone does not show, and
// tells the damaged ones to the window's thread a few files at a time.
class WholeFileCheck : public QObject {
    Q_OBJECT
public:
    explicit WholeFileCheck(QObject *parent = nullptr);
    ~WholeFileCheck() override;

    // Paths of session files to read; each is read once.
    void Add(const std::vector<std::string> &paths);

signals:
    // File names of damaged files (a file gone meanwhile is not damaged).
    void Damaged(const QStringList &names);
    // The queue has run empty.
    void Idle();

private:
    void run();

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::string> queue;
    bool quit = false;
    std::thread worker;
};
