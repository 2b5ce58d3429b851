#pragma once
// The standards catalogue file: record lines of six fields, the state cell of
// the catalogue grid, the dated backup name and the grouping order.
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/core/Types.h"

// Fields of a catalogue record, in file order and as grid columns 1 to 6.
enum TNormField { nfNumber, nfState, nfHolding, nfReplacedBy, nfTitle, nfDescription };
constexpr int NormFieldCount = 6;
// Grid columns: the row number, then the six fields.
constexpr int NormColCount = 7;

using TNormRecord = std::array<AnsiString, NormFieldCount>;

// The five state words, in the order of the state colours: "Aktualna",
// "Nieaktualna", "Zastąpiona uznaniowo", "Wycofana bez zastąpienia",
// "Norma zakładowa".
extern const std::array<AnsiString, 5> NormStateWords;
// The eight holding words: "Brak", "Brak (Uznaniowa)", "Dostępna",
// "Dostępna (język ang.)", "Dostępna (PS)", "Dostępna (Uznaniowa)",
// "Dostępna (KJ)", "Dostępna (Wypożyczona)".
extern const std::array<AnsiString, 8> NormHoldingWords;
// Header texts of grid columns 0 to 6.
extern const std::array<AnsiString, NormColCount> NormHeaders;

// Record lines, shared by the catalogue and the register files: Fields[k]
// ends at the k-th "|"; only the first Count "|" count, text after the last
// of them is dropped. A line with fewer "|" keeps its text after the last "|"
// as the next field; the fields after it are empty.
void SplitRecordFields(const AnsiString& Line, AnsiString* Fields, int Count);
// The same fields as views into Line (which must outlive them).
void SplitRecordFields(std::string_view Line, std::string_view* Fields, int Count);
// Each field followed by "|"; a "|", carriage return or line feed inside a
// field becomes a blank, so that the line reads back as the same fields.
AnsiString JoinRecordFields(const AnsiString* Fields, int Count);
// The same appended to Line.
void AppendRecordFields(std::string& Line, const std::string_view* Fields, int Count);

// Tests: called with each catalogue row whose record line the main window's
// save or grouping is about to make, on the thread that makes it (several run
// at once); what it raises is raised by the making of the line. Empty: none.
void SetNormLineProbe(std::function<void(int Row)> Probe);

// The fields of a record line: field k ends at the k-th "|"; only the first
// six "|" count, text after the sixth is dropped. A line with fewer than six
// "|" keeps its text after the last "|" as the next field; the fields after
// it are empty.
TNormRecord SplitNormLine(const AnsiString& Line);

// The state cell of the grid for a state field: a known state word (exact
// comparison) as a centred bold paragraph in the state's colour, any other
// text (empty included) as a centred bold paragraph. Colors holds the colour
// of each word of NormStateWords.
AnsiString NormStateCell(const AnsiString& Field, const std::array<std::int32_t, 5>& Colors);

// The state word stored for a state cell: the first of "Nieaktualna",
// "Aktualna", "Norma zakładowa", "Wycofana bez zastąpienia", "Zastąpiona
// uznaniowo" that the cell contains (case-sensitive); "" when none does.
AnsiString NormStateWord(const AnsiString& Cell);
// The same as a view of one of NormStateWords (empty when none).
std::string_view NormStateWordOf(std::string_view Cell);

// The record line of the fields: each field followed by "|". A "|", carriage
// return or line feed inside a field becomes a blank, so that the line reads
// back as the same six fields.
AnsiString NormLine(const TNormRecord& Record);

// The dated copy of a saved catalogue: Folder (its trailing delimiter added
// when missing) + the file's name without extension + " (kopia z dd-mm-yyyy
// hh-mm-ss)" + the extension with its dot.
AnsiString NormBackupFileName(const AnsiString& Folder, const AnsiString& FileName, TDateTime When);
// Name (without folder) is such a copy of the catalogue FileName, of any date
// and time; the catalogue's name and extension in any case of letters.
bool IsNormBackupFileName(const AnsiString& Name, const AnsiString& FileName);

// The regrouped order of the records (indices into Records): numbers with "EN",
// "ISO" and "IEC" in their groups, the others by the letter after "-" (or "/"
// and before "-"), each group sorted by its record line; the EN group after
// the letter E, the ISO and IEC groups after I; records that no group takes,
// also those without a number, follow in their own order.
std::vector<int> GroupNormOrder(const std::vector<TNormRecord>& Records);
// The same for records given by their record lines and their numbers; the
// groups are sorted on several threads when they are long.
std::vector<int> GroupNormOrder(const std::vector<std::string_view>& Lines,
                                const std::vector<std::string_view>& Numbers);
