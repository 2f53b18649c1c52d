// The deferred-action command file: while generating, every file action is written as one line of
// a POSIX shell script instead of being performed. The script takes the left and right "drives"
// (prefixes that replace the first character of every path) as its two optional parameters.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include "core/Side.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"

namespace quarto {

// Asks the user for the file to generate (the window's file dialog with its Append box).
class CommandFileDialog {
  public:
    struct Choice {
        std::string name;
        bool append = false;
    };
    virtual ~CommandFileDialog() = default;
    // Nothing when the user cancelled.
    virtual std::optional<Choice> Ask() = 0;
};

class CommandFile {
  public:
    static constexpr const char* kDefaultName = "DXAActns.cmd";

    // The header's first line names the program and its version text ("Version a.b.c.d (...)").
    // A file that cannot be opened is told through `prompter`, when given.
    CommandFile(std::string programName, std::string versionText, Prompter* prompter = nullptr);
    ~CommandFile();
    // Identity object: workers write through the one open file.
    CommandFile(const CommandFile&) = delete;
    CommandFile& operator=(const CommandFile&) = delete;

    // Read by every action worker; changed on the main thread while no operation runs.
    bool Generating() const { return m_generating.load(std::memory_order_acquire); }
    // The file being generated (empty while the mode is off), or the one option -G names.
    std::string Name() const;
    void SetName(std::string name);

    // Switches the mode on. The name: the one set (overwritten), else the default under the quiet
    // flag (overwritten), else the dialog's choice (appended when it says so); no dialog, or a
    // cancelled one, switches the mode off again and returns false. Overwriting writes the header
    // for the two directories; appending adds lines after what the file holds. Returns whether
    // the file is open. A symbolic link, pipe or anything but a regular file at the name is
    // refused, never written through. A file that cannot be opened is told (the failure is also
    // the thread's last error) and leaves the mode on with nothing written, so no action is
    // performed on disk instead.
    bool BeginCommandFile(const std::string& leftDir, const std::string& rightDir, bool quiet,
                          CommandFileDialog* dialog);
    // Switches the mode off: closes the file and forgets the name.
    void EndCommandFile();

    // The action lines, each ending with LF. `drive` is the side of the path (of the source for
    // copy and move, whose target is on the other side).
    static std::string CopyLine(Side drive, const std::string& source, const std::string& target);
    static std::string MoveLine(Side drive, const std::string& source, const std::string& target);
    static std::string DeleteLine(Side drive, const std::string& path);
    static std::string MakeDirectoryLine(Side drive, const std::string& path);
    static std::string RemoveDirectoryLine(Side drive, const std::string& path);

    // Writes whole lines in one write, so that no other worker's line falls between them (one
    // action's removal line and its copy line). False when they could not be written.
    bool WriteLines(const std::string& lines);
    bool WriteDelete(Side drive, const std::string& path) { return WriteLines(DeleteLine(drive, path)); }

    // The ten header lines for the two directories, each ending with LF.
    std::string Header(const std::string& leftDir, const std::string& rightDir) const;
    // One operand: "${LeftDrive}" or "${RightDrive}" and the path without its first character,
    // in double quotes, with \ " $ and ` escaped.
    static std::string Operand(Side drive, const std::string& path);

  private:
    // Opens the chosen file; false (told) when it cannot be opened.
    bool Open(const std::string& name, bool append, const std::string& leftDir, const std::string& rightDir);

    const std::string m_programName;
    const std::string m_versionText;
    Prompter* const m_prompter;
    std::atomic<bool> m_generating{false};
    mutable std::mutex m_lock;  // guards the name and the descriptor; one line at a time
    std::string m_name;
    UniqueFd m_fd;
};

}  // namespace quarto
