// A fuzz target without libFuzzer: runs each file named, and each file in each folder named, once
// through the target. CI replays the seed corpora this way in its sanitizer build (a ctest test);
// scripts/fuzz fuzzes with clang's libFuzzer.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse);

int main(int argc, char** argv) {
    int anzahl = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> dateien{argv[i]};
        if (std::filesystem::is_directory(argv[i])) {
            dateien.clear();
            for (const auto& e : std::filesystem::directory_iterator(argv[i])) dateien.push_back(e.path());
        }
        for (const auto& d : dateien) {
            std::ifstream f(d, std::ios::binary);
            const std::vector<char> inhalt{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(inhalt.data()), inhalt.size());
            ++anzahl;
        }
    }
    std::printf("%d Eingaben ohne Befund\n", anzahl);
    return anzahl > 0 ? 0 : 1;  // an empty corpus checks nothing
}
