#include "Folders.h"

#include "ErrnoMap.h"
#include "ResultCodes.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class EntryKind { Folder, File, Other };

// Links count as what they lead to, as a file manager shows them; broken links are neither.
EntryKind kindOf(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return EntryKind::Folder;
    }
    if (entry.d_type == DT_REG) {
        return EntryKind::File;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return EntryKind::Other;
    }
    struct stat info {};
    if (::fstatat(::dirfd(dir), entry.d_name, &info, 0) != 0) {
        return EntryKind::Other;
    }
    if (S_ISDIR(info.st_mode)) {
        return EntryKind::Folder;
    }
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

int listEntries(const std::string& path, EntryKind wanted, std::vector<std::string>& names) {
    names.clear();
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir) {
        return resultCodeFromErrno(errno);
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] != '.' && kindOf(dir.get(), *entry) == wanted) {
            names.emplace_back(entry->d_name);
        }
        errno = 0;
    }
    return resultCodeFromErrno(errno);
}

} // namespace

int changeCurrentFolder(const std::string& path) {
    return ::chdir(path.c_str()) == 0 ? ResultCode::Success : resultCodeFromErrno(errno);
}

std::string currentFolder() {
    std::string buffer(256, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

int listSubfolders(const std::string& path, std::vector<std::string>& names) {
    return listEntries(path, EntryKind::Folder, names);
}

int listFiles(const std::string& path, std::vector<std::string>& names) {
    return listEntries(path, EntryKind::File, names);
}
