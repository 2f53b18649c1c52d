#include "ops/CommandFile.h"

#include <cerrno>

#include "platform/FileIo.h"
#include "platform/SafeOutputFile.h"
#include "platform/SystemError.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

// The first character of a directory, as a single-quoted shell word ('' when there is none).
std::string QuotedFirstCharacter(const std::string& directory) {
    if (directory.empty()) return "''";
    if (directory[0] == '\'') return "''\\'''";
    return std::string("'") + directory[0] + "'";
}

const char* DriveVariable(Side drive) {
    return drive == Side::Left ? "${LeftDrive}" : "${RightDrive}";
}

}  // namespace

CommandFile::CommandFile(std::string programName, std::string versionText, Prompter* prompter)
    : m_programName(std::move(programName)), m_versionText(std::move(versionText)), m_prompter(prompter) {}

CommandFile::~CommandFile() {
    EndCommandFile();
}

std::string CommandFile::Name() const {
    std::lock_guard lock(m_lock);
    return m_name;
}

void CommandFile::SetName(std::string name) {
    std::lock_guard lock(m_lock);
    m_name = std::move(name);
}

bool CommandFile::BeginCommandFile(const std::string& leftDir, const std::string& rightDir, bool quiet,
                                   CommandFileDialog* dialog) {
    m_generating.store(true, std::memory_order_release);
    std::string name = Name();
    bool append = false;
    if (name.empty() && quiet) name = kDefaultName;
    if (name.empty()) {
        std::optional<CommandFileDialog::Choice> choice;
        if (dialog != nullptr) choice = dialog->Ask();
        if (!choice || choice->name.empty()) {
            m_generating.store(false, std::memory_order_release);
            return false;
        }
        name = choice->name;
        append = choice->append;
    }
    return Open(name, append, leftDir, rightDir);
}

bool CommandFile::Open(const std::string& name, bool append, const std::string& leftDir,
                       const std::string& rightDir) {
    int err = 0;
    {
        std::lock_guard lock(m_lock);
        m_name = name;
        m_fd.Reset(OpenOutputFile(name, append ? OutputMode::kAppend : OutputMode::kOverwrite));
        if (m_fd.Valid()) {
            // A header that cannot be written leaves the file open: the lines may still go in.
            if (!append)
                if (const int error = WriteAll(m_fd.Get(), Header(leftDir, rightDir)))
                    SetLastErrorFromErrno(error);
            return true;
        }
        err = errno;
    }
    SetLastErrorFromErrno(err, /*parentMissing=*/true);
    // Told outside the lock: the box may wait for the user as long as it likes.
    if (m_prompter != nullptr)
        m_prompter->MessageBox(
            res::Format(res::kCannotWriteCommandFile, {name, OutputFileFailure(name, err)}), m_programName,
            MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CommandFile::EndCommandFile() {
    std::lock_guard lock(m_lock);
    m_fd.Reset();
    m_name.clear();
    m_generating.store(false, std::memory_order_release);
}

std::string CommandFile::Header(const std::string& leftDir, const std::string& rightDir) const {
    std::string header =
        "# Created by " + m_programName + " " + m_versionText + "  to perform deferred actions\n";
    header += "LeftDrive=" + QuotedFirstCharacter(leftDir) + "\n";
    header += "RightDrive=" + QuotedFirstCharacter(rightDir) + "\n";
    header +=
        "if [ -n \"$1\" ]; then\n"
        "LeftDrive=\"${1%/}/\"\n"
        "fi\n"
        "if [ -n \"$2\" ]; then\n"
        "RightDrive=\"${2%/}/\"\n"
        "fi\n"
        "echo \"LeftDrive=$LeftDrive RightDrive=$RightDrive\"\n";
    return header;
}

std::string CommandFile::Operand(Side drive, const std::string& path) {
    std::string operand = "\"";
    operand += DriveVariable(drive);
    for (size_t i = 1; i < path.size(); ++i) {
        const char c = path[i];
        // Inside double quotes only these four keep a meaning; a newline stays part of the name.
        if (c == '\\' || c == '"' || c == '$' || c == '`') operand += '\\';
        operand += c;
    }
    operand += '"';
    return operand;
}

std::string CommandFile::CopyLine(Side drive, const std::string& source, const std::string& target) {
    return "cp -p " + Operand(drive, source) + " " + Operand(Other(drive), target) + "\n";
}

std::string CommandFile::MoveLine(Side drive, const std::string& source, const std::string& target) {
    return "mv " + Operand(drive, source) + " " + Operand(Other(drive), target) + "\n";
}

std::string CommandFile::DeleteLine(Side drive, const std::string& path) {
    return "rm -f " + Operand(drive, path) + "\n";
}

std::string CommandFile::MakeDirectoryLine(Side drive, const std::string& path) {
    return "mkdir -p " + Operand(drive, path) + "\n";
}

std::string CommandFile::RemoveDirectoryLine(Side drive, const std::string& path) {
    return "rmdir " + Operand(drive, path) + "\n";
}

bool CommandFile::WriteLines(const std::string& lines) {
    std::lock_guard lock(m_lock);
    return m_fd.Valid() && WriteAll(m_fd.Get(), lines) == 0;
}

}  // namespace quarto
