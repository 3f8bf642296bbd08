#include "Mutator.h"

#include <algorithm>

namespace enginetest {
namespace {

// A small generator of our own, so a seed gives the same mutant with every standard library.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
        if (state_ == 0) {
            state_ = 1;
        }
    }
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // A number in [low, high]; low when the range is empty.
    size_t Between(size_t low, size_t high) {
        return high <= low ? low : low + Next() % (high - low + 1);
    }

private:
    uint32_t state_;
};

}  // namespace

const std::vector<Mutation>& AllMutations() {
    static const std::vector<Mutation> all = {Mutation::FlipBytes, Mutation::ZeroBlock,
                                              Mutation::Truncate,  Mutation::DuplicateChunk,
                                              Mutation::DropChunk, Mutation::GarbleHeader};
    return all;
}

const char* MutationName(Mutation kind) {
    switch (kind) {
        case Mutation::FlipBytes:
            return "flipped";
        case Mutation::ZeroBlock:
            return "zeroed";
        case Mutation::Truncate:
            return "cut";
        case Mutation::DuplicateChunk:
            return "repeated";
        case Mutation::DropChunk:
            return "holed";
        case Mutation::GarbleHeader:
            return "garbled-header";
    }
    return "unknown";
}

std::string Mutate(const std::string& bytes, Mutation kind, uint32_t seed) {
    std::string result = bytes;
    if (bytes.empty()) {
        return result;
    }
    Random random(seed);
    const size_t size = bytes.size();
    auto chunk = [&](size_t& at, size_t& length) {
        length = random.Between(1, std::max<size_t>(1, size / 8));
        at = random.Between(0, size - std::min(size, length));
    };
    switch (kind) {
        case Mutation::FlipBytes: {
            // Scattered bit errors, as a bad medium gives.
            size_t count = random.Between(8, 8 + size / 2000);
            for (size_t i = 0; i < count; ++i) {
                result[random.Between(0, size - 1)] ^= char(1u << random.Between(0, 7));
            }
            break;
        }
        case Mutation::ZeroBlock: {
            size_t at, length;
            chunk(at, length);
            std::fill_n(result.begin() + at, length, '\0');
            break;
        }
        case Mutation::Truncate:
            result.resize(random.Between(1, size - 1));
            break;
        case Mutation::DuplicateChunk: {
            size_t at, length;
            chunk(at, length);
            result.insert(random.Between(0, size), bytes.substr(at, length));
            break;
        }
        case Mutation::DropChunk: {
            size_t at, length;
            chunk(at, length);
            result.erase(at, length);
            break;
        }
        case Mutation::GarbleHeader: {
            size_t end = std::min<size_t>(size, 4096);
            for (size_t i = 0; i < 24; ++i) {
                result[random.Between(0, end - 1)] = char(random.Next());
            }
            break;
        }
    }
    return result;
}

}  // namespace enginetest
