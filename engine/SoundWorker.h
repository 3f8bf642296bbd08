// The sound's own thread in a conversion with picture and sound: the reading thread hands it
// the sound's packets through a bounded queue, and on a machine with two cores its decoding,
// processing and encoding then overlap the picture's work.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "LibavPtr.h"

namespace kivo {

// Packets handed from the reading thread to the sound's thread. Bounded, so that the sound
// never runs far behind the picture and memory stays flat. The bound in seconds also keeps
// the output repeatable: the muxer writes out of time order once one stream runs ten seconds
// ahead of the other, and which packets that catches would depend on the threads' timing.
class PacketQueue {
public:
    // Waits while the queue is full; false when the queue was closed. `seconds`: the packet's
    // length (0 when unknown).
    bool Push(PacketPtr packet, double seconds);
    // Waits for a packet; null once the queue is finished and empty, or closed.
    PacketPtr Pop();
    // No more packets will come; those queued are still taken.
    void Finish();
    // Ends at once; queued packets are dropped.
    void Close();

private:
    static constexpr size_t kCapacity = 128;
    static constexpr double kMaxSeconds = 2;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PacketPtr> packets_;
    std::deque<double> lengths_;  // of the queued packets, in seconds
    double queuedSeconds_ = 0;
    bool finished_ = false;
    bool closed_ = false;
};

class SoundWorker {
public:
    // Converts one packet on the sound's thread; false when the conversion must fail.
    using Convert = std::function<bool(const AVPacket*)>;

    SoundWorker() = default;
    ~SoundWorker();
    SoundWorker(const SoundWorker&) = delete;
    SoundWorker& operator=(const SoundWorker&) = delete;

    // Starts the thread, which logs into the calling thread's capture.
    void Start(Convert convert);
    // Whether the sound has a thread of its own in this conversion (even once it has ended).
    bool Started() const { return started_; }
    // Queues a packet of `seconds` length for the thread; waits while the queue is full.
    void Push(PacketPtr packet, double seconds);
    // Whether a packet's conversion failed; the queue is closed then.
    bool Failed() const { return failed_.load(); }
    // Ends the thread and waits for it: with `convertQueued` the packets still queued are
    // converted first (the source was read to its end), otherwise they are dropped.
    void End(bool convertQueued);

private:
    PacketQueue packets_;
    std::atomic<bool> failed_{false};
    bool started_ = false;
    std::thread thread_;
};

}  // namespace kivo
