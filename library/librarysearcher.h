#pragma once

#include "library/librarydatabase.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

struct LibrarySearchResult
{
    LibraryDatabase::Hits hits;
    QString error;        // when !hits.ok
    bool damaged = false; // the failure came from a damaged database file
};

// Runs the library's searches on a thread of its own, with its own connection, so the
// window never waits for one (a search of one or two letters reads every file's text).
// Only the newest request counts: an older one stops early, and its result is never
// delivered. Results arrive on the thread that owns the searcher.
class LibrarySearcher : public QObject
{
    Q_OBJECT
public:
    explicit LibrarySearcher(const QString &databasePath, QObject *parent = nullptr);
    ~LibrarySearcher() override;

    // Each returns at once with the request's number; finished() follows unless a newer
    // request or cancel() comes first.
    quint64 search(const QString &query, int limit);
    quint64 whereElse(qint64 hash, int limit);
    void cancel();
    // The database file has been replaced (rebuilt): later requests open it anew.
    void reopen();

signals:
    void finished(quint64 request, const LibrarySearchResult &result);

private:
    struct Request
    {
        quint64 id = 0;
        bool byHash = false;
        QString query;
        qint64 hash = 0;
        int limit = 0;
    };
    quint64 submit(Request request);
    void run();

    QString path;
    quint64 latest = 0; // the owner thread's newest request
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<Request> pending;
    bool reopenFirst = false;
    bool stopping = false;
    // Set when the request being worked on is no longer the newest.
    std::atomic<bool> superseded{false};
    std::thread worker;
};
