#include "carscript/PosixOwnership.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quendral {

void shareLockFile(int descriptor, const std::filesystem::path& folder)
{
    struct stat lockFile
    {
    };
    if (fstat(descriptor, &lockFile) != 0 || lockFile.st_uid != geteuid())
        return;
    if ((lockFile.st_mode & 0777) != 0644)
        fchmod(descriptor, 0644);
    struct stat owner
    {
    };
    if (stat(folder.empty() ? "." : folder.c_str(), &owner) == 0
        && (owner.st_uid != lockFile.st_uid || owner.st_gid != lockFile.st_gid)) {
        // Not allowed to an ordinary user, who then keeps it; no harm done.
        [[maybe_unused]] const int refused = fchown(descriptor, owner.st_uid, owner.st_gid);
    }
}

bool attributesOf(const std::filesystem::path& model, std::optional<PosixAttributes>& attributes, std::string& error)
{
    struct stat entry
    {
    };
    if (lstat(model.c_str(), &entry) != 0) {
        if (errno == ENOENT)
            return true;
        error = "its model " + model.string() + " cannot be examined: " + std::strerror(errno);
        return false;
    }
    struct stat file = entry;
    if (S_ISLNK(entry.st_mode) && stat(model.c_str(), &file) != 0)
        return true;
    if (S_ISREG(file.st_mode))
        attributes = PosixAttributes{entry.st_uid, entry.st_gid, static_cast<mode_t>(file.st_mode & 07777)};
    return true;
}

bool giveAttributes(int descriptor, const PosixAttributes& wanted, const std::filesystem::path& model,
                    std::string& error)
{
    struct stat made
    {
    };
    if (fstat(descriptor, &made) != 0) {
        error = std::strerror(errno);
        return false;
    }
    mode_t mode = wanted.mode;
    if ((made.st_uid != wanted.owner || made.st_gid != wanted.group)
        && fchown(descriptor, wanted.owner, wanted.group) != 0) {
        // The owner saving a file of a group it is not in: the file takes
        // the owner's own group, which may hold others, so that group may
        // do only what others may.
        int refused = errno;
        const bool ownFile = refused == EPERM && wanted.owner == geteuid() && made.st_uid == wanted.owner;
        if (ownFile)
            refused = made.st_gid == getegid() || fchown(descriptor, static_cast<uid_t>(-1), getegid()) == 0 ? 0 : errno;
        if (refused != 0) {
            error = "it cannot be given the owner and group of " + model.string() + " (user "
                + std::to_string(wanted.owner) + ", group " + std::to_string(wanted.group) + "): "
                + std::strerror(refused);
            return false;
        }
        mode = static_cast<mode_t>((mode & ~(S_ISGID | S_IRWXG)) | ((mode & S_IRWXO) << 3));
    }
    // After the owner: a change of owner clears the set-user-ID bits.
    if (fchmod(descriptor, mode) != 0) {
        error = "it cannot be given the permissions of " + model.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void giveFolderAttributes(const std::filesystem::path& folder, const std::filesystem::path& model)
{
    struct stat wanted
    {
    };
    if (stat(model.c_str(), &wanted) != 0)
        return;
    // Not allowed to an ordinary user, whose folder it is anyway.
    [[maybe_unused]] const int refused = chown(folder.c_str(), wanted.st_uid, wanted.st_gid);
    chmod(folder.c_str(), wanted.st_mode & 07777);
}

} // namespace quendral
