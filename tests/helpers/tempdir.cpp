#include "tests/helpers/tempdir.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempDir::TempDir(bool enter)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "rkm-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    if (enter) {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd) || chdir(path_.c_str()) != 0)
            throw std::runtime_error("cannot enter " + path_);
        previous_ = cwd;
    }
}

TempDir::~TempDir()
{
    if (!previous_.empty() && chdir(previous_.c_str()) != 0)
        std::perror("chdir");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(file(name), std::ios::binary);
    out << bytes;
    return file(name);
}

std::string TempDir::read(const std::string& name) const
{
    std::ifstream in(file(name), std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}
