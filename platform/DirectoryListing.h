// Lists one directory: each record carries the entry's name, its attribute bits, its three
// times and its size, as the comparison needs them. Attribute bits have the values that snapshot
// files store and that the comparison and the file actions test:
// 0x01 read-only (owner may not write), 0x02 hidden (name starts with a dot), 0x04 system
// (neither a regular file nor a directory), 0x10 directory, 0x20 archive (only where the volume
// keeps a DOS attribute in the xattr user.DOSATTRIB), 0x80 normal (none of the others),
// 0x400 symbolic link. A link is described by what it points to, plus 0x400; a dangling link
// by itself.
#pragma once

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileTime.h"

namespace quarto {

enum FileAttribute : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrNormal = 0x80,
    kAttrSymlink = 0x400,
};

struct ListingRecord {
    std::string name;
    uint32_t attributes = 0;
    FileTime accessTime;
    FileTime creationTime;  // birth time; the status-change time where the volume keeps none
    FileTime writeTime;
    uint64_t size = 0;  // 0 for directories, as the comparison expects of them
};

// Reads a directory with getdents64 into a buffer of its own, which stays allocated from one
// listing to the next: a walk that keeps one listing per depth allocates nothing per folder.
class DirectoryListing {
  public:
    DirectoryListing() = default;
    ~DirectoryListing();
    // Owns an open directory descriptor.
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    // Starts listing `directory` (with or without a trailing '/'). Returns 0, or the failure
    // code (3 path not found, 5 access denied, ...), also recorded as the thread's last error.
    // A symbolic link in the last component is refused (code 3), trailing '/' or not, so a walk
    // that met a directory never lists what a link put in its place since. `followLastLink`
    // lets a root that the user chose through a link be listed.
    int Open(const std::string& directory, bool followLastLink = false);
    // Starts listing the folder `name` of the directory `parent` lists (or listed: its
    // descriptor stays open until it is closed or opened again), whose whole path is
    // `directory`. Like Open without following a link, but the kernel walks one name instead of
    // the whole path.
    int OpenChild(const DirectoryListing& parent, std::string_view name, const std::string& directory);
    // Whether the last Open failed because the directory, or a folder above it, does not exist
    // (any more): a walk that listed it a moment ago finds it gone, which is no error.
    bool Vanished() const { return m_openErrno == ENOENT; }
    // The next record, "." and ".." included (with their names only: nobody compares them).
    // Returns 0, kErrorNoMoreFiles (18) at the end, or the failure code of a directory that
    // could not be read further.
    int Next(ListingRecord& record);
    void Close();

    // Whether records carry the archive bit kept in user.DOSATTRIB. Reading it costs a lookup
    // of the whole path per entry, so a caller that has no use for the bit turns it off.
    void ReadArchiveBits(bool read) { m_readArchiveBits = read; }

  private:
    int Opened(int fd, const std::string& directory);
    // Refills the buffer; false at the end or on a failure (`code` set).
    bool Fill(int& code);

    int m_fd = -1;
    int m_openErrno = 0;  // errno of the last failed Open, 0 after a successful one
    bool m_readArchiveBits = true;
    std::unique_ptr<char[]> m_buffer;
    size_t m_filled = 0;   // bytes of records in the buffer
    size_t m_next = 0;     // offset of the next record
    std::string m_prefix;  // directory with a trailing '/', for the xattr lookups by path
};

// Describes one path as a listing would (the same attribute and time rules). Returns 0 or the
// failure code.
int DescribePath(const std::string& path, ListingRecord& record);

// The DOS attribute bits a volume keeps for a file in the xattr user.DOSATTRIB (as Samba writes
// it: a "0x..." hex text), or 0.
uint32_t DosAttributes(const std::string& path);

}  // namespace quarto
