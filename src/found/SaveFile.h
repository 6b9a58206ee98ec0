#pragma once
#include <QString>

namespace undelvo {

// A found file's name made safe as one component of a path: "/" and NUL
// become "_", and "." and ".." get a "_" in front.
QString SafeFileName(const QString& name);

// Creates a new file for a restored file in `folder` (created when missing):
// `name`, else base(1)ext, base(2)ext ... with base the text before the
// name's first ".". Never replaces an existing file or follows a link.
// Returns the open descriptor (-1 on failure) and the path chosen.
int CreateRestoredFile(const QString& folder, const QString& name, QString& path);

// As CreateRestoredFile; when `name` cannot be created at all (a name the
// save folder's file system rejects, such as one too long), `fallback`
// ("File7" for row 7) is tried the same way.
int CreateRestoredFile(const QString& folder, const QString& name, const QString& fallback, QString& path);

// Writes all of `size` bytes; false on a write error (a full disk), with errno set.
bool WriteFully(int fd, const void* data, size_t size);

// For a failed create or write: stores errno in `error` (when given) and
// returns false; CloseAndFail closes `fd` first, keeping the write's errno.
bool FailWith(int* error);
bool CloseAndFail(int fd, int* error);

// Creates `name` (made safe) in the existing `folder`, failing when a file of
// that name exists; no other name is tried and no link is followed.
int CreateNewFile(const QString& folder, const QString& name, QString& path);

}  // namespace undelvo
