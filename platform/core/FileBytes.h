#pragma once
// Whole-file reads and replace-by-rename writes on operating-system paths
// (used by the string lists, streams, ini files and the registry store).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// False when the file cannot be opened or read (a folder is not a file).
bool ReadWholeFileOs(const std::string& osPath, std::string& data);
// Writes a temporary file in the target's folder and renames it over the target;
// false (and no temporary left behind) when anything fails. A symbolic link is
// followed: the file it names is replaced and the link stays. A target that may
// not be written (no write permission, as a read-only file on Windows) is
// refused with errno EACCES.
bool WriteWholeFileOs(const std::string& osPath, const std::string& data);

// The file a path names after following symbolic links (also a link to a file
// not there yet); the path itself when it is not a link.
std::string ResolveLinksOs(const std::string& osPath);
// False, with errno EACCES, when the file exists and may not be written.
bool MayReplaceOs(const std::string& osPath);
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
