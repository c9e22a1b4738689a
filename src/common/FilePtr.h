// A C stream that closes itself: the event log and the settings file hold their files this way.
#pragma once

#include <cstdio>
#include <memory>

namespace common {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Owns an open std::FILE (or null); closing happens when it is destroyed or reset. Whoever needs to know
// whether the close succeeded calls std::fclose(file.release()) itself.
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace common
