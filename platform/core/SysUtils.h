#pragma once
// The framework's string, number, file and date routines on Windows-1250 text.
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/core/Types.h"

// ---------------------------------------------------------------- exceptions
class Exception : public std::exception {
public:
    explicit Exception(AnsiString msg) : FMessage(std::move(msg)) {}
    const AnsiString& Message() const { return FMessage; }
    void SetMessage(const AnsiString& m) { FMessage = m; }
    const char* what() const noexcept override { return FMessage.c_str(); }
private:
    AnsiString FMessage;
};

#define VELMAROK_EXCEPTION(Name, Base) \
    class Name : public Base { public: using Base::Base; };

VELMAROK_EXCEPTION(EConvertError, Exception)
VELMAROK_EXCEPTION(EStringListError, Exception)
VELMAROK_EXCEPTION(EListError, Exception)
VELMAROK_EXCEPTION(EInOutError, Exception)
VELMAROK_EXCEPTION(EStreamError, Exception)
VELMAROK_EXCEPTION(EFCreateError, EStreamError)
VELMAROK_EXCEPTION(EFOpenError, EStreamError)
VELMAROK_EXCEPTION(EForeignTextError, EFOpenError)
VELMAROK_EXCEPTION(EReadError, EStreamError)
VELMAROK_EXCEPTION(EWriteError, EStreamError)
VELMAROK_EXCEPTION(EIniFileException, Exception)
VELMAROK_EXCEPTION(ERegistryException, Exception)
VELMAROK_EXCEPTION(EInvalidOperation, Exception)
VELMAROK_EXCEPTION(EInvalidPointer, Exception)
// A typecast to a class the object is not of ("Invalid class typecast").
VELMAROK_EXCEPTION(EInvalidCast, Exception)
VELMAROK_EXCEPTION(EOutOfResources, Exception)
VELMAROK_EXCEPTION(EInvalidGraphic, Exception)
VELMAROK_EXCEPTION(EAbort, Exception)
VELMAROK_EXCEPTION(EMathError, Exception)
VELMAROK_EXCEPTION(EZeroDivide, EMathError)

// Raises EAbort (the silent exception).
[[noreturn]] void Abort();

// ---------------------------------------------------------------- locale
// One set of format settings for the whole program (Polish defaults).
struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '\xA0';        // no-break space, as the Polish locale
    char DateSeparator = '.';
    char TimeSeparator = ':';
    AnsiString CurrencyString = "zł";       // "1 234,56 zł", "-1 234,56 zł"
    int CurrencyDecimals = 2;
    AnsiString TimeAMString = "AM";
    AnsiString TimePMString = "PM";
    int TwoDigitYearCenturyWindow = 50;     // two-digit years within 50 years of now
    AnsiString ShortDateFormat = "dd.mm.yyyy";
    AnsiString LongDateFormat = "d mmmm yyyy";
    AnsiString ShortTimeFormat = "hh:nn";
    AnsiString LongTimeFormat = "hh:nn:ss";
    AnsiString ShortMonthNames[12];
    AnsiString LongMonthNames[12];
    AnsiString ShortDayNames[7];
    AnsiString LongDayNames[7];
    TFormatSettings();
};
extern TFormatSettings FormatSettings;
// Puts the Polish defaults back (tests call it after changing settings).
void ResetFormatSettings();

// ---------------------------------------------------------------- strings
AnsiString IntToStr(Int64 v);
AnsiString IntToHex(Int64 v, int digits);
int StrToInt(const AnsiString& s);                 // EConvertError "'x' nie jest prawidłową liczbą całkowitą"
Int64 StrToInt64(const AnsiString& s);
int StrToIntDef(const AnsiString& s, int def);
bool TryStrToInt(const AnsiString& s, int& v);     // accepts "$1F" and "0x1F" hex, leading/trailing blanks
bool TryStrToInt64(const AnsiString& s, Int64& v);
double StrToFloat(const AnsiString& s);            // FormatSettings.DecimalSeparator
double StrToFloatDef(const AnsiString& s, double def);
bool TryStrToFloat(const AnsiString& s, double& v);
AnsiString FloatToStr(double v);                   // 15 significant digits, general format
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
AnsiString FloatToStrF(double v, TFloatFormat fmt, int precision, int digits);
bool StrToBool(const AnsiString& s);
AnsiString BoolToStr(bool b, bool useBoolStrs = false);

// The framework's Format: %d %u %s %x %f %n %m %e %g %p with index, "-", width, ".prec" and "*".
struct TVarRec {
    std::variant<Int64, double, AnsiString, const void*> v;
    TVarRec(int x) : v(Int64(x)) {}
    TVarRec(unsigned x) : v(Int64(x)) {}
    TVarRec(long x) : v(Int64(x)) {}
    TVarRec(unsigned long x) : v(Int64(x)) {}
    TVarRec(long long x) : v(Int64(x)) {}
    TVarRec(double x) : v(x) {}
    TVarRec(const char* s) : v(AnsiString(s ? s : "")) {}
    TVarRec(const AnsiString& s) : v(s) {}
    TVarRec(const void* p) : v(p) {}
    TVarRec(char c) : v(AnsiString(1, c)) {}
};
AnsiString Format(const AnsiString& fmt, std::initializer_list<TVarRec> args);
AnsiString FormatFloat(const AnsiString& fmt, double v);  // "0.00", "#,##0.00", "0.###E+00"

AnsiString Trim(const AnsiString& s);              // drops characters <= ' ' at both ends
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
AnsiString UpperCase(const AnsiString& s);         // ASCII letters only
AnsiString LowerCase(const AnsiString& s);
AnsiString AnsiUpperCase(const AnsiString& s);     // Windows-1250 letters (Polish rules)
AnsiString AnsiLowerCase(const AnsiString& s);
int CompareStr(const AnsiString& a, const AnsiString& b);    // byte order
int CompareText(const AnsiString& a, const AnsiString& b);   // ASCII case folded, byte order
bool SameText(const AnsiString& a, const AnsiString& b);
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);   // locale collation, case matters
int AnsiCompareText(const AnsiString& a, const AnsiString& b);  // locale collation, case folded
bool AnsiSameText(const AnsiString& a, const AnsiString& b);
int AnsiPos(const AnsiString& sub, const AnsiString& s);       // 1-based, 0 when absent
int Pos(const AnsiString& sub, const AnsiString& s);           // 1-based, 0 when absent
int PosEx(const AnsiString& sub, const AnsiString& s, int offset = 1);
// 1-based Copy and Delete, clamped as the framework's.
AnsiString Copy(const AnsiString& s, int index, int count);
void Delete(AnsiString& s, int index, int count);
void Insert(const AnsiString& sub, AnsiString& s, int index);
AnsiString StringOfChar(char c, int count);
enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern, const AnsiString& newPattern,
                         int flags);
AnsiString QuotedStr(const AnsiString& s);
AnsiString AnsiQuotedStr(const AnsiString& s, char quote);
AnsiString AnsiDequotedStr(const AnsiString& s, char quote);
AnsiString AdjustLineBreaks(const AnsiString& s);  // any line break -> CR LF
bool IsDelimiter(const AnsiString& delimiters, const AnsiString& s, int index);
int LastDelimiter(const AnsiString& delimiters, const AnsiString& s);
AnsiString WrapText(const AnsiString& line, int maxCol);

// ---------------------------------------------------------------- paths and files
// Paths are Windows-1250 and may use "\" or "/"; the routines convert at the
// operating-system boundary and fall back to a case-insensitive match. A ":"
// separates only a drive at the start ("C:plik.txt"); elsewhere it belongs to
// the name ("Skala_1:10.txt").
AnsiString ExtractFilePath(const AnsiString& name);      // with the trailing delimiter
AnsiString ExtractFileDir(const AnsiString& name);       // without it
AnsiString ExtractFileName(const AnsiString& name);
AnsiString ExtractFileExt(const AnsiString& name);       // with the dot
AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& s);   // keeps the delimiter style of s ("\" default)
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& s);
AnsiString ExpandFileName(const AnsiString& name);
bool FileExists(const AnsiString& name);
bool DirectoryExists(const AnsiString& name);
bool ForceDirectories(const AnsiString& dir);
bool CreateDir(const AnsiString& dir);
bool RemoveDir(const AnsiString& dir);
bool DeleteFile(const AnsiString& name);
bool RenameFile(const AnsiString& oldName, const AnsiString& newName);
bool CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists);
int FileAge(const AnsiString& name);                     // DOS date-time, -1 when missing
TDateTime FileDateToDateTime(int fileDate);
bool FileAgeDateTime(const AnsiString& name, TDateTime& dt);
Int64 FileSizeOf(const AnsiString& name);                // -1 when missing
AnsiString GetCurrentDir();
bool SetCurrentDir(const AnsiString& dir);
AnsiString GetTempDir();                                  // with trailing "\"... see note in .cpp
// Names of the entries of a folder that match a mask ("*.txt"), Windows-1250.
struct TSearchEntry { AnsiString Name; bool Directory = false; Int64 Size = 0; TDateTime Time = 0; };
std::vector<TSearchEntry> ListDirectory(const AnsiString& dir, const AnsiString& mask = "*");
bool MatchesMask(const AnsiString& name, const AnsiString& mask);   // "*" and "?", case-insensitive

// Folder searches. Attributes as Windows gives them: a name starting with "."
// is hidden, an entry the user may not write is read-only, a regular file has
// the archive bit, a symbolic link has faSymLink and the link's own data (it is
// followed, for its target's kind, size and time, only with FollowLinks).
constexpr int faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04, faVolumeID = 0x08, faDirectory = 0x10,
              faArchive = 0x20, faNormal = 0x80, faSymLink = 0x400, faAnyFile = 0x1FF;
// What FindFirst answers when it fails.
constexpr int ERROR_FILE_NOT_FOUND = 2, ERROR_PATH_NOT_FOUND = 3, ERROR_ACCESS_DENIED = 5,
              ERROR_NO_MORE_FILES = 18;
struct TFindState;
struct TSearchRec {
    int Time = 0;              // DOS date and time
    Int64 Size = 0;
    int Attr = 0;
    AnsiString Name;           // Windows-1250
    int ExcludeAttr = 0;
    TDateTime TimeStamp = 0;
    std::shared_ptr<TFindState> FindHandle;
};
// The first entry of the folder part of Path matching its name part ("Wykazy\*.txt"):
// entries with faHidden, faSysFile, faVolumeID or faDirectory are found only when Attr
// has those bits. "." and ".." come first (with faDirectory), then the names in
// case-folded order. 0 when found, else an ERROR_ code (F is closed then).
int FindFirst(const AnsiString& Path, int Attr, TSearchRec& F, bool FollowLinks = false);
// 0 with the next entry in F, ERROR_NO_MORE_FILES at the end.
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

// The operating-system form of a program path (UTF-8, "/"), with the
// case-insensitive fallback for every component that does not exist as given.
std::string ToOsPath(const AnsiString& name);
AnsiString FromOsPath(const std::string& utf8);

// Login name of the user (getpwuid, else $USER).
AnsiString GetLoginName();
// Tests run as another login; empty returns to the user's own.
void SetTestLoginName(const AnsiString& Name);
AnsiString GetEnvironmentVariable(const AnsiString& name);

// ---------------------------------------------------------------- dates
TDateTime EncodeDate(Word year, Word month, Word day);     // EConvertError "Invalid argument to date encode"
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& dt);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& dt);
void DecodeDate(TDateTime dt, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime dt, Word& hour, Word& min, Word& sec, Word& msec);
int DayOfWeek(TDateTime dt);                               // 1 = Sunday
bool IsLeapYear(Word year);
Word DaysInAMonth(Word year, Word month);
TDateTime IncMonth(TDateTime dt, int months);              // clamps the day
TDateTime Date();
TDateTime Time();
TDateTime Now();
// Tests set the clock; 0 returns to the system clock.
void SetTestClock(TDateTime now);
AnsiString FormatDateTime(const AnsiString& fmt, TDateTime dt);
AnsiString DateToStr(TDateTime dt);
AnsiString TimeToStr(TDateTime dt);
AnsiString DateTimeToStr(TDateTime dt);
TDateTime StrToDate(const AnsiString& s);                  // EConvertError
TDateTime StrToDateTime(const AnsiString& s);
TDateTime StrToTime(const AnsiString& s);
bool TryStrToDate(const AnsiString& s, TDateTime& dt);
bool TryStrToDateTime(const AnsiString& s, TDateTime& dt);
bool TryStrToTime(const AnsiString& s, TDateTime& dt);
Cardinal GetTickCount();                                    // milliseconds, monotonic
