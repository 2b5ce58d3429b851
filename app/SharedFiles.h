#pragma once
// Files of the department's folder that other logins write too: the
// catalogue, the registers, the menu file, the users file, config.dat and a
// login's settings. The program remembers what it last read or wrote of each
// (whether it was there, its size and a hash of its bytes) and looks again
// before a save replaces it, so that a save never throws away unseen what
// another login saved in between. The look and the replacing are done under
// the file's lock, so that two logins' saves never cross.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Types.h"

// Remembers the file as it is on disk now (a missing file as missing). Called
// before a file is read, so that a write between the two is taken for a change.
void RememberSharedFile(const AnsiString& FileName);
// Remembers Bytes as the file's content: the bytes just read from it or
// written to it.
void RememberSharedFile(const AnsiString& FileName, const AnsiString& Bytes);
// The same for the bytes of Runs one after the other.
void RememberSharedFile(const AnsiString& FileName, const std::vector<std::string_view>& Runs);

// ---------------------------------------------------------------- the lock of a shared file
// A save holds the file's lock from its look at the file through the rename
// of the new file into place. The lock is a lock on the whole of the lock file
// ".velmarok.lock" in the folder of the file (of the file a link names), so
// that the saves of one folder take turns: made as every file of a folder
// shared with a group is made, kept out of the program's folder lists by its
// leading dot, and taken whatever its mode and owner (opened for reading only
// where the login may not write it). The system releases the locks of a
// process that ends. A link, a folder or anything but a plain file at the
// name is never followed or passed over: no lock is had then. A lock file
// removed or replaced while a save holds it is found before the save's
// rename: the lock is taken again on the file at the name and the shared file
// looked at again. Reads need no lock: a shared file is only ever replaced
// whole, by a rename. Holding the lock, a save removes the temporary files
// that killed saves of the file left behind (RemoveLeftReplacementsOs).
class TSharedFileLock {
public:
    explicit TSharedFileLock(const AnsiString& FileName);   // takes nothing yet
    ~TSharedFileLock();
    TSharedFileLock(const TSharedFileLock&) = delete;
    TSharedFileLock& operator=(const TSharedFileLock&) = delete;
    // Takes the lock, waiting while another process holds it, up to
    // 5 seconds (SetSharedFileLockWait); false when it is still held then, or
    // when the lock file is no file a lock can be had in (Damage says what is
    // wrong). Where no lock can be had otherwise (a folder the login may not
    // write, a file system that keeps no locks) there is nothing to wait for:
    // true, and the save goes on and meets what it meets. The lock of a folder
    // that this process holds already is only counted.
    bool Take();
    void Release();
    // What is wrong with the lock file when Take failed on it ("jest
    // folderem"); empty when another process held the lock.
    const AnsiString& Damage() const { return FDamage; }
    // The lock file's name as the user reads it.
    AnsiString LockFileName() const;

    // Which file stands at a name, with its size and time (none: all 0).
    struct TFileId {
        std::uint64_t Dev = 0, Ino = 0, Size = 0;
        std::int64_t MTime = 0;
        bool operator==(const TFileId&) const = default;
    };

private:
    friend struct TSharedFileLockCheck;
    // Before a rename of TmpOs over the file: true when the lock is still
    // held on the lock file at its name, or was taken again there and the
    // file is as it was when the lock was last held (a message says why not).
    bool HoldsForRename(const std::string& TmpOs);
    AnsiString FFileName;
    std::string FTarget, FLockFile;
    AnsiString FDamage;
    TFileId FLockId;   // the lock file locked
    TFileId FFileId;   // the file as the lock last saw it, or as this save's rename leaves it
    bool FTaken = false;
};
// How long a save waits for another login's save to release the file: 5000
// milliseconds; tests shorten it.
void SetSharedFileLockWait(unsigned Milliseconds);
// The takes of this run that found the lock held by another process and waited.
unsigned SharedFileLockWaits();

// A save that replaces a shared file. MayReplace takes the lock and looks
// again; the lock is held until Release or the end of the object.
class TSharedFileSave {
public:
    explicit TSharedFileSave(const AnsiString& FileName);
    // True, the lock held, when the save may go on: the file is as remembered
    // (or nothing is remembered of it), the user chose to write over another
    // login's change, or what lies there now (a folder, an unreadable file)
    // holds nothing that the save could lose. Another login's bytes in it, or
    // the file removed since it was read, make the user choose (a question,
    // Yes/No, asked with the lock let go and followed by another look). False
    // when nothing may be written and the caller leaves everything as it was:
    // the user keeps the file as it is, or another login's save held the lock
    // past the wait (a message says so). AMeanwhile runs while the file is
    // looked at the first time (the new file written beside it, say); an
    // exception of AMeanwhile is raised once the look ended, and nothing is
    // asked.
    bool MayReplace(const std::function<void()>& AMeanwhile = nullptr);
    // Lets the lock go (before a message about a failed write, say).
    void Release() { FLock.Release(); }

private:
    AnsiString FFileName;
    TSharedFileLock FLock;
};

// A write that changes only part of the file on what it reads at that moment
// (one key of an ini file), or the program's own delete of a login's settings
// file, done under the file's lock: it asks nothing, and the file is
// remembered after it only when nothing unseen came before it.
class TSharedFileUpdate {
public:
    explicit TSharedFileUpdate(const AnsiString& FileName);
    ~TSharedFileUpdate();
    TSharedFileUpdate(const TSharedFileUpdate&) = delete;
    TSharedFileUpdate& operator=(const TSharedFileUpdate&) = delete;
    // False when another login's save held the file past the wait (the message
    // said so): the caller writes nothing.
    bool Taken() const { return FTaken; }

private:
    AnsiString FFileName;
    TSharedFileLock FLock;
    bool FTaken;
    bool FSeen = false;
};

// A default file that a start makes where it finds none (the users file of the
// first start, a login's settings, the menu file): Write writes it whole, only
// while Missing() holds under the file's lock (by default: no file of the name
// is there), so that a file another login's start made meanwhile is never
// replaced by a default. False when nothing was written: the file is there now,
// or another login's save held the lock past the wait; the caller goes on with
// what it finds. What Write raises is raised.
bool WriteDefaultSharedFile(const AnsiString& FileName, const std::function<void()>& Write,
                            const std::function<bool()>& Missing = nullptr);
