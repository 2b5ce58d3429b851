#pragma once
// Files of the department's folder that other logins write too: the
// catalogue, the registers, the menu file, the users file, config.dat and a
// login's settings. The program remembers what it last read or wrote of each
// (whether it was there, its size and a hash of its bytes) and looks again
// before a save replaces it, so that a save never throws away unseen what
// another login saved in between.
#include <functional>
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

// Before a save replaces the file: looks again. Another login's bytes in it,
// or the file removed since it was read, make the user choose (a question,
// Yes/No): false when the user keeps the file as it is, and the caller then
// writes nothing and leaves everything as it was. True when the save may go
// on: the file is as remembered (or nothing is remembered of it), the user
// chose to write over the other login's changes, or what lies there now (a
// folder, an unreadable file) holds nothing that the save could lose.
bool MayReplaceSharedFile(const AnsiString& FileName);
// The same, AMeanwhile run while the file is looked at (the new file written
// beside it, say); an exception of AMeanwhile is raised once the look ended,
// and nothing is asked.
bool MayReplaceSharedFile(const AnsiString& FileName, const std::function<void()>& AMeanwhile);

// A write that changes only part of the file on what it reads at that moment
// (one key of an ini file): it loses nothing of another login's, so it asks
// nothing, and the file is remembered after it only when nothing unseen came
// before it.
class TSharedFileUpdate {
public:
    explicit TSharedFileUpdate(const AnsiString& FileName);
    ~TSharedFileUpdate();
    TSharedFileUpdate(const TSharedFileUpdate&) = delete;
    TSharedFileUpdate& operator=(const TSharedFileUpdate&) = delete;

private:
    AnsiString FFileName;
    bool FSeen;
};
