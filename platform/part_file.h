// A file written under a temporary name in the folder of its final path, given the final name
// only when it is complete: whatever watches the folder (a music library, a sync tool) never sees
// a partial file under a finished file's name, and a run that is killed leaves only a part file.
//
// Part files are hidden and named ".lumbra-part-" followed by random characters. Their writer holds
// a lock on each while it is open; a part file that nobody holds is a leftover of a program that
// was killed, and removeLeftoverParts deletes it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace lumbra::platform {

inline constexpr std::string_view kPartFilePrefix = ".lumbra-part-";

class PartFile {
public:
    // Creates a new part file, exclusively, in `folder` ("" is the current folder), with
    // `extension` at the end of its name. isOpen() tells whether that worked.
    PartFile(std::string_view folder, std::string_view extension);
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    // Deletes the part file unless it was committed.
    ~PartFile();

    bool isOpen() const { return static_cast<bool>(fd_); }
    // The descriptor to write through, open for reading and writing; it stays owned here.
    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }
    // A stdio stream of its own for writing the part file, over a duplicate descriptor, so that
    // closing the stream leaves the part file open and locked; nullptr when that failed. The
    // caller closes it.
    std::FILE* openWriteStream() const;

    // Gives the part file the name `finalPath` (in the same folder), replacing any file of that
    // name, and closes it. False, with the part file deleted, when the rename failed.
    bool commit(const std::string& finalPath);
    // Closes and deletes the part file.
    void discard();

private:
    std::string path_;
    UniqueFd fd_;
    bool settled_ = false;
};

// The folder part of a native path: everything up to its last slash, "" for a bare name.
std::string folderOf(std::string_view path);

// Deletes the part files in `folder` ("" is the current folder) whose writers have gone.
void removeLeftoverParts(std::string_view folder);

}  // namespace lumbra::platform
