// Makes mutants of a media file for the fuzz test's corpus:
//
//   media-mutator <source> <folder> [seed]
//
// writes one mutant per kind of damage into <folder>, named after the source and the damage.
// Mutants that show a fault are kept in tests/engine/data/hostile, which the fuzz test replays.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "Mutator.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <source> <folder> [seed]\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    uint32_t seed = argc > 3 ? uint32_t(std::strtoul(argv[3], nullptr, 10)) : 1;
    std::string source = argv[1];
    std::string name = source.substr(source.find_last_of('/') + 1);
    for (enginetest::Mutation kind : enginetest::AllMutations()) {
        std::string path = std::string(argv[2]) + "/" + enginetest::MutationName(kind) + "-" +
                           std::to_string(seed) + "-" + name;
        std::ofstream out(path, std::ios::binary);
        out << enginetest::Mutate(bytes, kind, seed);
        if (!out.good()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
