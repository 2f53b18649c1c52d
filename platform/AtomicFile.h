// Quarto's own output files (a snapshot, the error log) written whole or not at all: the bytes go
// to a temporary file beside the target, which is synced and renamed over the target only when
// complete. A failed, cancelled or abandoned write leaves the old file exactly as it was, and
// nothing is ever written through a symbolic link standing at the target's name.
#pragma once

#include <string>
#include <string_view>

namespace quarto {

class AtomicFile {
  public:
    AtomicFile() = default;
    // An uncommitted temporary file is removed.
    ~AtomicFile();
    // Owns a descriptor and a temporary file that only it may remove.
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Starts the replacement of `target` (a relative name is taken from the current directory).
    // Returns 0, or the errno: ELOOP when a symbolic link stands at the name, EEXIST when
    // something other than a regular file does (a folder, a device, a FIFO, a socket), else what
    // opening the folder or creating the temporary file in it gave. The new file gets the old
    // one's permission bits, or 0666 less the umask when there is none.
    int Open(const std::string& target);
    bool IsOpen() const { return m_fd >= 0; }

    // Appends bytes (buffered). False once any write has failed; the first errno is kept.
    bool Write(std::string_view bytes);
    // Writes out the buffer, syncs the file, renames it over the target and syncs the folder.
    // Returns 0, or the errno of the first failure; on failure the target is untouched and the
    // temporary file is gone.
    int Commit();
    // Drops the temporary file; the target stays as it was.
    void Discard();

  private:
    bool Flush();
    void Close();

    int m_folder = -1;
    int m_fd = -1;
    std::string m_name;      // the target's name within its folder
    std::string m_tempName;  // the temporary file's name within the same folder
    std::string m_buffer;
    int m_error = 0;
};

}  // namespace quarto
