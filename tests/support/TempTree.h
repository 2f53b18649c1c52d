// Real directory trees in a temporary folder for the tests, removed when the test ends.
#pragma once

#include <cstdint>
#include <string>

namespace quarto::test {

class TempTree {
  public:
    // Creates a fresh folder under $TMPDIR (or /tmp), or under `parent` when given.
    explicit TempTree(const std::string& parent = "");
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The folder, with a trailing '/'.
    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return m_root + relative; }

    // Creates the parents as needed. Returns the full path.
    std::string Dir(const std::string& relative) const;
    std::string File(const std::string& relative, const std::string& content = "") const;
    std::string Symlink(const std::string& relative, const std::string& target) const;
    // Sets access and modification time (seconds and nanoseconds since 1970).
    void SetTimes(const std::string& relative, int64_t seconds, uint32_t nanoseconds = 0) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

  private:
    std::string m_root;
};

// Removes a tree, making folders writable first so read-only ones go too.
void RemoveTree(const std::string& path);

}  // namespace quarto::test
