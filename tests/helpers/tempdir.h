// A fresh temporary folder for one test, removed with everything in it when
// the test ends; optionally entered (chdir), for routines that use bare names.
#pragma once

#include <string>

class TempDir {
public:
    explicit TempDir(bool enter = false);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes `bytes` to the file `name` in the folder; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // The whole content of the file `name`, or "<missing>".
    std::string read(const std::string& name) const;

private:
    std::string path_;
    std::string previous_;  // working folder to return to, when entered
};
