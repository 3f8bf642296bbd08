// Damages media files the way real-world damage looks (flipped bits, zeroed or lost blocks,
// cut files, repeated chunks, a garbled header) to grow the corpus of the engine's fuzz test.
// Deterministic: the same file, kind and seed always give the same mutant.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace enginetest {

enum class Mutation { FlipBytes, ZeroBlock, Truncate, DuplicateChunk, DropChunk, GarbleHeader };

const std::vector<Mutation>& AllMutations();
const char* MutationName(Mutation kind);

// A mutant of `bytes`; `seed` chooses where and how much.
std::string Mutate(const std::string& bytes, Mutation kind, uint32_t seed);

}  // namespace enginetest
