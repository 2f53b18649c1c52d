#include "tests/support/TempTree.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quarto::test {
namespace {

void MakeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0777);
}

int MakeWritable(const char* path, const struct stat* st, int type, struct FTW*) {
    if (type == FTW_D || type == FTW_DNR) chmod(path, (st->st_mode & 07777) | S_IRWXU);
    return 0;
}

int RemoveOne(const char* path, const struct stat*, int type, struct FTW*) {
    return type == FTW_DP ? rmdir(path) : unlink(path);
}

}  // namespace

TempTree::TempTree(const std::string& parent) {
    std::string base = parent;
    if (base.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        base = tmp && *tmp ? tmp : "/tmp";
    }
    std::string pattern = base + "/quarto-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed under " + base);
    m_root = pattern + "/";
}

TempTree::~TempTree() {
    RemoveTree(m_root);
}

std::string TempTree::Dir(const std::string& relative) const {
    const std::string path = m_root + relative;
    MakeParents(path + "/");
    return path;
}

std::string TempTree::File(const std::string& relative, const std::string& content) const {
    const std::string path = m_root + relative;
    MakeParents(path);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string TempTree::Symlink(const std::string& relative, const std::string& target) const {
    const std::string path = m_root + relative;
    MakeParents(path);
    if (symlink(target.c_str(), path.c_str()) != 0) throw std::runtime_error("symlink failed: " + path);
    return path;
}

void TempTree::SetTimes(const std::string& relative, int64_t seconds, uint32_t nanoseconds) const {
    const struct timespec times[2] = {{seconds, static_cast<long>(nanoseconds)},
                                      {seconds, static_cast<long>(nanoseconds)}};
    utimensat(AT_FDCWD, (m_root + relative).c_str(), times, AT_SYMLINK_NOFOLLOW);
}

std::string TempTree::Read(const std::string& relative) const {
    std::ifstream in(m_root + relative, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempTree::Exists(const std::string& relative) const {
    struct stat st {};
    return lstat((m_root + relative).c_str(), &st) == 0;
}

void RemoveTree(const std::string& path) {
    nftw(path.c_str(), MakeWritable, 16, FTW_PHYS);
    nftw(path.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace quarto::test
