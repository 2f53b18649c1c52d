#include "ops/CommandFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/SystemError.h"

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

CommandFile::CommandFile(std::string programName, std::string versionText)
    : m_programName(std::move(programName)), m_versionText(std::move(versionText)) {}

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
    std::lock_guard lock(m_lock);
    m_name = name;
    if (m_fd >= 0) close(m_fd);
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    m_fd = open(name.c_str(), flags, 0666);
    if (m_fd < 0) {
        SetLastErrorFromErrno(errno, /*parentMissing=*/true);
        return false;
    }
    if (!append) {
        const std::string header = Header(leftDir, rightDir);
        if (write(m_fd, header.data(), header.size()) != static_cast<ssize_t>(header.size())) {
            SetLastErrorFromErrno(errno);
            return true;  // open; the lines that follow may still be written
        }
    }
    return true;
}

void CommandFile::EndCommandFile() {
    std::lock_guard lock(m_lock);
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
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

bool CommandFile::WriteCopy(Side drive, const std::string& source, const std::string& target) {
    return WriteLine("cp -p " + Operand(drive, source) + " " + Operand(Other(drive), target));
}

bool CommandFile::WriteMove(Side drive, const std::string& source, const std::string& target) {
    return WriteLine("mv " + Operand(drive, source) + " " + Operand(Other(drive), target));
}

bool CommandFile::WriteDelete(Side drive, const std::string& path) {
    return WriteLine("rm -f " + Operand(drive, path));
}

bool CommandFile::WriteMakeDirectory(Side drive, const std::string& path) {
    return WriteLine("mkdir -p " + Operand(drive, path));
}

bool CommandFile::WriteRemoveDirectory(Side drive, const std::string& path) {
    return WriteLine("rmdir " + Operand(drive, path));
}

bool CommandFile::WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    std::lock_guard lock(m_lock);
    if (m_fd < 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(m_fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace quarto
