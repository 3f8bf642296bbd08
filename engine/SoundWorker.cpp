#include "SoundWorker.h"

#include <algorithm>

#include "Log.h"

namespace kivo {

bool PacketQueue::Push(PacketPtr packet, double seconds) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] {
        return closed_ || packets_.empty() ||
               (packets_.size() < kCapacity && queuedSeconds_ < kMaxSeconds);
    });
    if (closed_) {
        return false;
    }
    packets_.push_back(std::move(packet));
    lengths_.push_back(std::max(0.0, seconds));
    queuedSeconds_ += lengths_.back();
    changed_.notify_all();
    return true;
}

PacketPtr PacketQueue::Pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || finished_ || !packets_.empty(); });
    if (closed_ || packets_.empty()) {
        return nullptr;
    }
    PacketPtr packet = std::move(packets_.front());
    packets_.pop_front();
    queuedSeconds_ = packets_.empty() ? 0 : queuedSeconds_ - lengths_.front();
    lengths_.pop_front();
    changed_.notify_all();
    return packet;
}

void PacketQueue::Finish() {
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

void PacketQueue::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    packets_.clear();
    lengths_.clear();
    queuedSeconds_ = 0;
    changed_.notify_all();
}

SoundWorker::~SoundWorker() {
    if (thread_.joinable()) {
        End(false);
    }
}

void SoundWorker::Start(Convert convert) {
    started_ = true;
    thread_ = std::thread([this, convert = std::move(convert), log = CurrentLogCapture()] {
        LogCapture::ThreadScope scope(log);  // the sound's errors are this conversion's
        while (PacketPtr packet = packets_.Pop()) {
            if (!convert(packet.get())) {
                failed_ = true;
                packets_.Close();
                return;
            }
        }
    });
}

void SoundWorker::Push(PacketPtr packet, double seconds) {
    packets_.Push(std::move(packet), seconds);
}

void SoundWorker::End(bool convertQueued) {
    if (convertQueued) {
        packets_.Finish();
    } else {
        packets_.Close();
    }
    thread_.join();
}

}  // namespace kivo
