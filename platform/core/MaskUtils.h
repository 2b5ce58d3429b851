#pragma once
// The framework's edit-mask language. A mask has up to three fields separated
// by ";": the mask itself, "0" when the literal characters are not part of the
// text (anything else, or no field: they are), and the blank character that
// stands for an empty position (default "_").
// Mask characters: "L" letter, "l" letter or empty; "A" letter or digit, "a"
// the same or empty; "C" any character, "c" any or empty; "0" digit, "9" digit
// or empty; "#" digit, "+", "-" or empty; ":" and "/" the time and date
// separators of FormatSettings; ">" upper case for what follows, "<" lower
// case, "<>" neither; "\" makes the next character a literal; "!" is allowed
// (no effect here); "_" a literal space; everything else a literal.
#include <vector>

#include "platform/core/Types.h"

class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(const AnsiString& EditMask);

    bool Empty() const { return FPositions.empty(); }
    // Positions of the text shown in the edit (EditText).
    int Length() const { return int(FPositions.size()); }
    bool SaveLiterals() const { return FSaveLiterals; }
    char BlankChar() const { return FBlank; }
    bool IsLiteral(int Pos) const;
    // The mask character at Pos as written ("0", "L" ...; the literal itself for a literal).
    char MaskChar(int Pos) const;
    // The first input position at or after Pos (Length() when none).
    int NextInput(int Pos) const;
    // The last input position before Pos (-1 when none).
    int PrevInput(int Pos) const;
    // Ch as the input position Pos takes it (case folded), or 0 when it does not fit there.
    char Accept(int Pos, char Ch) const;

    // The edit text of an empty edit: literals, and blanks at the input positions.
    AnsiString BlankText() const;
    // Value (a text, with or without the literals) laid into the mask: each
    // character of Value goes to the next input position (a literal of the mask
    // met in Value is taken as that literal); a character that does not fit
    // leaves a blank. Characters beyond the mask are dropped.
    AnsiString Format(const AnsiString& Value) const;
    // An edit text made valid position by position (wrong characters become blanks).
    AnsiString Conform(const AnsiString& EditText) const;
    // The text of an edit text: blanks become spaces; literals only when saved.
    AnsiString TextOf(const AnsiString& EditText) const;
    // True when every required position is filled; else Pos is the first empty one.
    bool Validate(const AnsiString& EditText, int& Pos) const;

private:
    enum TCase : char { csNone, csUpper, csLower };
    struct TPosition {
        char Mask = 0;       // the mask character, or the literal
        bool Literal = false;
        TCase Case = csNone;
    };
    std::vector<TPosition> FPositions;
    bool FSaveLiterals = true;
    char FBlank = '_';
};

// The framework's FormatMaskText: Value laid into the mask's edit text.
AnsiString FormatMaskText(const AnsiString& EditMask, const AnsiString& Value);
