#pragma once
// Whole-file reads and replace-by-rename writes on operating-system paths
// (used by the string lists, streams, ini files and the registry store).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// False when the file cannot be opened or read (a folder is not a file).
bool ReadWholeFileOs(const std::string& osPath, std::string& data);
// Writes a temporary file in the target's folder and renames it over the target;
// false (and no temporary left behind) when anything fails. A symbolic link is
// followed: the file it names is replaced and the link stays. A target that may
// not be written (no write permission, as a read-only file on Windows) is
// refused with errno EACCES. The new file keeps the group and mode of the one it
// replaces (TakeReplacedFileModeOs).
bool WriteWholeFileOs(const std::string& osPath, const std::string& data);

// Asked before a replacement, written whole in the temporary file TmpOs, is renamed over
// TargetOs (its links followed): false leaves the target as it is, and the write fails (errno
// EAGAIN) with the temporary file removed. The program's shared-file locks set it; the check set
// before is returned.
using TReplaceCheck = std::function<bool(const std::string& TmpOs, const std::string& TargetOs)>;
TReplaceCheck SetReplaceCheckOs(TReplaceCheck Check);
// The temporary file a replacement of TargetOs is written in first: ".<name>.tmp<process>-<number>"
// in the target's folder.
std::string ReplacementFileOs(const std::string& TargetOs, long Process, unsigned Number);
// Removes what replacements of TargetOs left behind when their process was killed while writing:
// its temporary files whose process no longer runs and that have not changed for an hour by the
// clock of Now() (a process number of another computer sharing the folder proves nothing by
// itself). The number removed.
int RemoveLeftReplacementsOs(const std::string& TargetOs);

// The file a path names after following symbolic links (also a link to a file
// not there yet); the path itself when it is not a link.
std::string ResolveLinksOs(const std::string& osPath);
// False, with errno EACCES, when the file exists and may not be written.
bool MayReplaceOs(const std::string& osPath);
// ---------------------------------------------------------------- folders shared with a group
// A folder with the set-group-ID bit is shared with its group: the department's folder is made so
// (mode 2775), and so is every folder the program makes in it. What is made in a shared folder
// takes the folder's group (by the bit) and is the group's to change too, whatever the login's
// umask: a file gets mode 0664, a folder 2775. Elsewhere what is made keeps the umask.
bool IsSharedFolderOs(const std::string& DirOs);
// Makes a new file, as open(2) with O_CREAT | O_EXCL | O_CLOEXEC and Flags (O_WRONLY, O_RDWR ...)
// does, with the mode its folder gives. The descriptor, or -1 with errno set (EEXIST when the
// name is taken).
int CreateFileOs(const std::string& osPath, int Flags);
// Opens the file with Flags, made first as CreateFileOs makes it when it is not there: a file
// that is there keeps its mode and group (a lock file beside a shared file, a stream's file).
int OpenOrCreateFileOs(const std::string& osPath, int Flags);
// Makes a folder, as mkdir(2) does, with the mode its folder gives; false with errno set.
bool CreateFolderOs(const std::string& osPath);
// Gives Fd, a new file beside Target that is to take its place, what Target has: its group
// and its mode. Without a Target, it gets the mode of a new file of its folder when that is a
// shared folder. False when there is neither (Fd keeps the mode it was made with).
bool TakeReplacedFileModeOs(int Fd, const std::string& Target);

// Brings the bytes written to an open file to the disk, so that a rename of
// it over an older file never leaves an empty or partial file after a crash
// or a power cut; false when the disk reports a write error (errno set).
bool SyncToDiskOs(int Fd);

// A 64-bit hash of bytes, quick over a whole file (four lanes of eight
// bytes at a time) and over a short text: for telling contents apart and
// for tables, not against someone who picks the bytes.
// Bytes beyond a megabyte are hashed a megabyte at a time on several threads.
std::uint64_t HashBytes(std::string_view Bytes, std::uint64_t Seed = 0);
// HashBytes of the runs' bytes one after the other.
std::uint64_t HashBytes(const std::vector<std::string_view>& Runs, std::uint64_t Seed = 0);
// The size of a file and HashBytes of its bytes, read a piece at a time; false when
// it cannot be opened or read (a folder is not a file).
bool HashFileOs(const std::string& osPath, std::size_t& Size, std::uint64_t& Hash);
