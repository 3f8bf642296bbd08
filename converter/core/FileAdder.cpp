#include "converter/core/FileAdder.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QDir>

#include "media/core/MediaRows.h"
#include "media/core/Thumbnails.h"
#include "platform/core/ByteNames.h"
#include "platform/core/EngineApi.h"
#include "platform/core/FileSystem.h"

ProbedFile ProbeFileForAdd(const QString& path, const QString& stillFolder) {
    ProbedFile probed;
    probed.path = path;
    // A file without read permission is refused before the probe, also for the administrator
    // whom the system would let read it; so are folders, pipes and devices, never waited on.
    if (const AddRefusal early = SourceRefusal(path);
        early != AddRefusal::None && early != AddRefusal::Missing) {
        probed.refusal = early;
        return probed;
    }
    const QByteArray bytes = platform::PathBytes(path);
    EngineFileInfo info{};
    if (Engine().GetFileinfo(bytes.constData(), &info) != 0) {
        probed.refusal = ProbeRefusal(path);
        return probed;
    }
    // The probe's format names are the engine's texts: the row copies them before the still is
    // taken.
    KivoProbe shown{};
    Engine().Probe(bytes.constData(), &shown);
    const QString still = stillFolder + StillFileName(path);
    probed.row = ProbedRow(path, still, info, shown);
    // Beside the executable this makes one level; the user's cache folder may be new as well.
    if (!platform::DirectoryExists(stillFolder))
        QDir().mkpath(stillFolder);
    Engine().GetPicure(bytes.constData(), StillSeconds, StillSize,
                       platform::PathBytes(still).constData());
    return probed;
}

FileAdder::FileAdder(Deliver deliver) : deliver_(std::move(deliver)) {
    worker_ = std::thread([this] { Work(); });
}

FileAdder::~FileAdder() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
        jobs_.clear();
    }
    queued_.notify_all();
    worker_.join();
}

void FileAdder::Add(const QStringList& paths, std::uint64_t batch, const QString& stillFolder) {
    {
        std::lock_guard lock(mutex_);
        for (const QString& path : paths)
            jobs_.push_back({path, batch, stillFolder});
    }
    queued_.notify_all();
}

void FileAdder::Cancel() {
    std::lock_guard lock(mutex_);
    jobs_.clear();
}

void FileAdder::Work() {
    // Below the window's thread, as the engine's conversions are: on a busy machine the window
    // answers first. The decoders' threads the engine starts from here inherit it.
    const pid_t self = gettid();
    setpriority(PRIO_PROCESS, id_t(self), getpriority(PRIO_PROCESS, id_t(self)) + 5);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (ending_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        ProbedFile probed = ProbeFileForAdd(job.path, job.stillFolder);
        probed.batch = job.batch;
        deliver_(std::move(probed));
    }
}
