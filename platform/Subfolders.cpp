#include "platform/Subfolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/SystemError.h"

namespace quarto {
namespace {

class FolderStream {
  public:
    explicit FolderStream(const std::string& folder) {
        const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            m_error = errno;
            return;
        }
        m_dir = fdopendir(fd);
        if (m_dir == nullptr) {
            m_error = errno;
            close(fd);
        }
    }
    ~FolderStream() {
        if (m_dir != nullptr) closedir(m_dir);
    }
    // Owns an open directory stream.
    FolderStream(const FolderStream&) = delete;
    FolderStream& operator=(const FolderStream&) = delete;

    // 0 when open, else the errno of the failed open.
    int OpenError() const { return m_error; }

    // The next subfolder's name; false at the end or on a read error (ReadError() tells).
    bool NextSubfolder(std::string& name) {
        for (;;) {
            errno = 0;
            const dirent* entry = readdir(m_dir);
            if (entry == nullptr) {
                m_error = errno;
                return false;
            }
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
            if (IsFolder(*entry)) {
                name = entry->d_name;
                return true;
            }
        }
    }
    int ReadError() const { return m_error; }

  private:
    bool IsFolder(const dirent& entry) const {
        if (entry.d_type == DT_DIR) return true;
        if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
        // A link counts by what it points to; AT_NO_AUTOMOUNT keeps a peek from mounting anything.
        struct stat st {};
        return fstatat(dirfd(m_dir), entry.d_name, &st, AT_NO_AUTOMOUNT) == 0 && S_ISDIR(st.st_mode);
    }

    DIR* m_dir = nullptr;
    int m_error = 0;
};

}  // namespace

int ListSubfolders(const std::string& folder, std::vector<std::string>& names) {
    FolderStream stream(folder);
    if (stream.OpenError() != 0) return SetLastErrorFromErrno(stream.OpenError(), /*parentMissing=*/true);
    std::string name;
    while (stream.NextSubfolder(name)) names.push_back(name);
    if (stream.ReadError() != 0) return SetLastErrorFromErrno(stream.ReadError());
    return kErrorSuccess;
}

bool HasSubfolder(const std::string& folder) {
    FolderStream stream(folder);
    std::string name;
    return stream.OpenError() == 0 && stream.NextSubfolder(name);
}

bool SameFolder(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && S_ISDIR(first.st_mode) &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace quarto
