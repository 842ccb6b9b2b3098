#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace quendral {

// The owner, group and permissions a replacement takes from its model.
struct PosixAttributes
{
    uid_t owner;
    gid_t group;
    mode_t mode;
};

// Nothing when the model is missing or no regular file; false with the
// reason when it cannot be examined.
bool attributesOf(const std::filesystem::path& model, std::optional<PosixAttributes>& attributes, std::string& error);

// Gives the open file `descriptor` the model's attributes, or as near as
// its owner may; false with the reason when it cannot.
bool giveAttributes(int descriptor, const PosixAttributes& wanted, const std::filesystem::path& model,
                    std::string& error);

// A lock file that a save by another user (root, say) has just made is
// handed to the owner of its folder and left readable to all, so that the
// car's own users can open it to lock it later. It never holds anything.
void shareLockFile(int descriptor, const std::filesystem::path& folder);

// A new folder that a save by another user (root, say) has made is handed to
// the owner of its model, so that the car's own users can write in it later.
void giveFolderAttributes(const std::filesystem::path& folder, const std::filesystem::path& model);

} // namespace quendral
