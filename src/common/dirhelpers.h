#pragma once
// Directory creation, renaming and listing for the recorder's dump folders.

#include <cstddef>
#include <string>
#include <vector>

// Creates every missing folder along `path` (absolute or relative; "/" separated). False for an
// empty path or when a creation fails; true when everything exists afterwards.
bool make_dirs(const std::string &path);

// True when the rename succeeds.
bool rename_path(const std::string &from, const std::string &to);

// Appends the names (not paths) of the sub-folders of `directory`, without "." and "..".
void list_subdirs(const std::string &directory, std::vector<std::string> &out);

// a + "/" + b, without doubling a separator that a already ends with.
std::string join_path(const std::string &a, const std::string &b);

// Writes all `n` bytes to the descriptor, retrying short and interrupted writes.
bool write_all_fd(int fd, const void *data, size_t n);

// True when something (file, folder or link) stands at `path`.
bool path_exists(const std::string &path);

// Writes `size` bytes to a fresh file beside `path` and renames it into place, so a symlink
// planted at `path` in a shared folder is replaced, never followed. False on any failure.
bool write_file_replace(const std::string &path, const void *data, size_t size);

// Appends `size` bytes to `path`, creating it (mode 0644) when missing. A symlink planted at
// `path` in a shared folder is refused, never followed. False on any failure.
bool append_file_nofollow(const std::string &path, const void *data, size_t size);

// Creates `path` empty unless something (file, folder or link) already stands there; never
// follows a symlink. True when a regular file exists at `path` afterwards.
bool create_empty_file(const std::string &path);

// Creates `path` holding the `size` bytes, only when nothing stands there yet; never follows a
// symlink. True when this call created and wrote it.
bool create_new_file(const std::string &path, const void *data, size_t size);

// Reads the whole regular file, at most `limit` bytes of it (the rest is left unread). False,
// with errno set, when it cannot be opened or read.
bool read_file_bounded(const std::string &path, size_t limit, std::string &out);
