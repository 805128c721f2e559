#pragma once
// The files a random walk over the windows works on, all in one temporary
// folder: copies of the sample boards, the aperture list and the CAD reports,
// damaged files made from the walk's seed, places to save to, a folder, a
// missing name, and a program folder (intact or damaged).

#include "support/TempDir.h"

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace mutaplot::testing {

struct MonkeyFile {
    std::string label;  // short name for the step log
    std::string path;
    int weight = 1;  // how often a dialog answers with it
};

class MonkeyWorld {
public:
    // `damagedProgramFolder`: the settings file and the default aperture list
    // of the program folder are broken off or missing.
    MonkeyWorld(std::mt19937& rng, bool damagedProgramFolder);

    const std::filesystem::path& programFolder() const { return programFolder_; }
    // Every answer an open or save dialog may give, cancel ("") included.
    const std::vector<MonkeyFile>& answers() const { return answers_; }

private:
    void Add(const std::string& label, const std::filesystem::path& path, int weight = 1);
    std::filesystem::path Write(const std::string& name, const std::string& bytes);

    TempDir dir_;
    std::filesystem::path programFolder_;
    std::vector<MonkeyFile> answers_;
};

// A board of random blocks: coordinates of every size and sign, arcs, modes,
// D codes in and out of the table, parameter blocks, stray characters.
std::string RandomBoard(std::mt19937& rng, int blocks);

}  // namespace mutaplot::testing
