#pragma once
// Routines the program's windows share: the login name, the scrambled data
// files, special folders, the desktop launcher, the online test, a colour as
// mini-HTML text, the web shop's query address of a standard and the
// program's version. None of them keeps state between calls.
#include <cstdint>

#include "platform/core/Types.h"

// Key text of the scrambled data files; only its characters 1 to 10 take part.
inline constexpr const char* ScrambleKey = "Halvrintosep";

// The login name of the user running the program, unchanged in case ("" when
// the system knows none).
AnsiString GetWindowsUserName();

// S with every character but the last combined by exclusive or with the
// characters 10 down to 1 of Key; the result is one character shorter than S
// (empty for S of one character or none). The same call scrambles and
// unscrambles.
AnsiString ScrambleString(const AnsiString& S, const AnsiString& Key);

// The bytes of a scrambled file for the given plain text: the text is taken
// as lines (ending at CR, LF or CR LF), each followed by CR LF; all of it but
// the final LF is scrambled, and CR LF is appended.
AnsiString EncodeScrambledText(const AnsiString& PlainText);
// The plain text of a scrambled file's bytes: the final CR LF is removed,
// every other byte unscrambled, and the line feed the writer left out is put
// back. Bytes are never taken as lines here, so any plain character survives.
AnsiString DecodeScrambledText(const AnsiString& Bytes);

// Whole scrambled files. Reading a missing file raises EFOpenError; a write
// replaces the file only when complete (EFCreateError when it cannot).
AnsiString ReadScrambledFile(const AnsiString& FileName);
void WriteScrambledFile(const AnsiString& FileName, const AnsiString& PlainText);

// ToDat true: the plain file FileName is scrambled into its ".dat" partner in
// the same folder. ToDat false: the scrambled file FileName is unscrambled into
// PrivateTempFolder() under its name with the extension ".ini"; the caller
// deletes that copy after use. File errors are raised to the caller.
void ScrambleConfigFile(const AnsiString& FileName, bool ToDat);

// True when A and B name one existing file or folder ("\\" or "/", another
// letter case, a trailing delimiter or a link make no difference).
bool SamePlace(const AnsiString& A, const AnsiString& B);

// The program's own temporary folder, readable only by the user, created on
// first use inside the system's temporary folder and removed with everything
// in it when the program ends. Ends with a path delimiter. Raises
// EFCreateError when it cannot be created.
AnsiString PrivateTempFolder();

// A plain copy of a scrambled file, for code that reads or changes it through
// an ini file or a string list: the copy is a file of its own in
// PrivateTempFolder(), deleted when the object goes. Save scrambles the copy
// back into the stored file, which is replaced only when the write is complete.
class TPlainCopy {
public:
    // Raises EFOpenError when DatFileName cannot be read.
    explicit TPlainCopy(const AnsiString& DatFileName);
    ~TPlainCopy();
    TPlainCopy(const TPlainCopy&) = delete;
    TPlainCopy& operator=(const TPlainCopy&) = delete;

    const AnsiString& FileName() const { return FFileName; }
    const AnsiString& DatFileName() const { return FDatFileName; }
    void Save();

private:
    AnsiString FDatFileName;
    AnsiString FFileName;
};

// The path of a special folder given by its shell identifier (the CSIDL_
// constants of platform/gui/ShellApi.h; 0 is the desktop), without a trailing
// delimiter and without creating it; "" for an identifier the system does not know.
AnsiString GetSpecialFolderPath(int Folder);

// Writes the launcher Folder + "/" + LinkName + ".desktop" that starts
// TargetPath in its own folder, described as the program's starter and shown
// with the program's icon (ProgramIcon). Folder is created when missing.
// False when the launcher could not be written; nothing is reported here.
bool CreateShortcut(const AnsiString& TargetPath, const AnsiString& Folder, const AnsiString& LinkName);
// The text of that launcher (UTF-8) with the icon Icon (a file or an icon name).
std::string ShortcutText(const AnsiString& TargetPath, const AnsiString& LinkName, const AnsiString& Icon);

// Opens an address or a file through the desktop (ShellExecute); when nothing opens it, the user
// reads "Nie można otworzyć: " + Target + "." in an information box. An empty target does nothing.
void OpenWithDesktop(const AnsiString& Target, int ShowCmd);

// True when the system reports a network connection.
bool IsInternetConnected();

// "#RRGGBB" in upper-case hexadecimal; a system colour gives its current value.
AnsiString ColorToHtml(std::int32_t Color);

// The web shop's query address for a standard's number.
AnsiString BuildCatalogQueryUrl(const AnsiString& Number);
// The home page of the national standards body.
inline constexpr const char* StandardsBodyHomePage = "https://www.pkn.pl/";

// The program's version "a.b.c.d" ("0.0.0.0" when the build names none).
AnsiString GetExeVersion();
