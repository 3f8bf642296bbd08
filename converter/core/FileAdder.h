// The slow part of adding files, off the window's thread: one worker probes each file and has
// the engine write its still, one file after another in the order given, and hands each result
// to a callback on its own thread (the window queues it to its thread, where the row is made).
// The probe record and its texts are the engine's and shared by every probe of the process, so
// one worker probing in turn is what keeps them whole. No widgets.
#pragma once

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "media/core/MediaRow.h"
#include "media/core/SourceFiles.h"

// What the worker found for one file.
struct ProbedFile {
    QString path;
    std::uint64_t batch = 0;                // the number Add gave it
    AddRefusal refusal = AddRefusal::None;  // None: `row` holds the probe and the still's path
    MediaRow row;                           // its TargetName is left to the list
};

// Probes `path` and has the engine write its still into `stillFolder` (created when missing).
// A file that cannot be read, or that the engine cannot read as media, is refused before its
// still is taken; a still that did not come is the list's to find.
ProbedFile ProbeFileForAdd(const QString& path, const QString& stillFolder);

class FileAdder {
public:
    using Deliver = std::function<void(ProbedFile)>;
    // `deliver` is called on the worker's thread, once per file, in the order added.
    explicit FileAdder(Deliver deliver);
    // Drops the files not yet started and waits for the one in progress.
    ~FileAdder();
    FileAdder(const FileAdder&) = delete;
    FileAdder& operator=(const FileAdder&) = delete;

    // Queues `paths` as batch `batch`, stills into `stillFolder`.
    void Add(const QStringList& paths, std::uint64_t batch, const QString& stillFolder);
    // Drops the files not yet started; the one in progress is still delivered.
    void Cancel();

private:
    struct Job {
        QString path;
        std::uint64_t batch;
        QString stillFolder;
    };

    void Work();

    Deliver deliver_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<Job> jobs_;
    bool ending_ = false;
    std::thread worker_;
};
