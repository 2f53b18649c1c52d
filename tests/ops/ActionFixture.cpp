#include "tests/ops/ActionFixture.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "platform/DirectoryListing.h"

namespace quarto::test {
namespace {

void Collect(const std::string& root, const std::string& relative, std::map<std::string, std::string>& out) {
    for (const std::string& name : FolderNames(root + relative)) {
        const std::string rel = relative + name;
        const std::string full = root + rel;
        struct stat st {};
        lstat(full.c_str(), &st);
        if (S_ISLNK(st.st_mode)) {
            char text[4096];
            const ssize_t n = readlink(full.c_str(), text, sizeof text);
            out[rel] = "l:" + std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
        } else if (S_ISDIR(st.st_mode)) {
            out[rel] = "d";
            Collect(root, rel + "/", out);
        } else {
            std::ifstream in(full, std::ios::binary);
            std::stringstream content;
            content << in.rdbuf();
            out[rel] = "f:" + content.str();
        }
    }
}

}  // namespace

void ActionFixture::UseTrees(const std::string& leftRoot, const std::string& rightRoot) {
    settings.LeftDir = pair.Directory(Side::Left) = leftRoot;
    settings.RightDir = pair.Directory(Side::Right) = rightRoot;
    pair[Side::Left].rootLength = static_cast<uint32_t>(leftRoot.size());
    pair[Side::Right].rootLength = static_cast<uint32_t>(rightRoot.size());
}

FileEntry ActionFixture::Entry(Side side, const std::string& relative) const {
    FileEntry entry;
    entry.path = pair.Directory(side) + relative;
    const size_t slash = entry.path.rfind('/');
    entry.nameOffset = static_cast<uint16_t>(slash + 1);
    ListingRecord record;
    if (DescribePath(entry.path, record) == 0) {
        entry.size = static_cast<uint32_t>(record.size);
        entry.attributes = record.attributes;
        entry.time = settings.UseDateTimeType == 0   ? record.accessTime
                     : settings.UseDateTimeType == 1 ? record.creationTime
                                                     : record.writeTime;
    }
    return entry;
}

FileEntry ActionFixture::Compared(Side side, const std::string& relative) {
    FileEntry entry = Entry(side, relative);
    ListingRecord record;
    if (DescribePath(pair.Directory(Other(side)) + relative, record) == 0) {
        partners.push_back(Entry(Other(side), relative));
        entry.counterpart = &partners.back();
    } else {
        entry.counterpart = &pair.Blank();
    }
    return entry;
}

size_t ActionFixture::AddRow(Side side, const FileEntry& entry) {
    const size_t row = pair.List(side).AddEntryRow(pair.List(side).Count(), entry);
    pair.List(Other(side)).AddEntryRow(row, pair.Blank());
    pair.List(side).SetMarked(row, true);
    return row;
}

size_t ActionFixture::Perform(int command, Side side, const std::string& relative) {
    const FileEntry entry = Entry(side, relative);
    const size_t row = AddRow(side, entry);
    Perform(command, side, entry, row);
    return row;
}

void ActionFixture::Perform(int command, Side side, const FileEntry& entry, size_t row) {
    ActionRun run = Run();
    Event done(Event::Reset::Auto);
    auto item = std::make_unique<ActionItem>(ActionItem{command, side, row, entry, &done});
    std::thread worker(PerformItemAction, std::ref(run), std::move(item));
    EXPECT_TRUE(done.Wait(60000));
    worker.join();
}

std::map<std::string, std::string> TreeContents(const std::string& root) {
    std::map<std::string, std::string> out;
    Collect(root, "", out);
    return out;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* d = readdir(dir)) {
        const std::string name = d->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace quarto::test
