#pragma once
// The clipboard: text (Windows-1250 in the program, Unicode on the system's
// clipboard), pictures, and formats registered by name whose bytes pass
// through unchanged.
#include <memory>

#include "platform/core/Classes.h"
#include "platform/core/Types.h"
#include "platform/gui/Messages.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_OEMTEXT = 7;
constexpr UINT CF_UNICODETEXT = 13;

// The id of a format named by the program: the same id for the same name
// (letter case ignored) for the life of the process, 0xC000 and up; 0 for an empty name.
UINT RegisterClipboardFormat(const AnsiString& Name);
// The name of a registered format, empty when unknown.
AnsiString GetClipboardFormatName(UINT Format);

class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    // Open ... Close put everything set in between on the clipboard together
    // (the first setter replaces what was there). Outside a bracket every
    // setter replaces the clipboard's content. Brackets nest.
    void Open();
    void Close();
    // Empties the clipboard.
    void Clear();

    bool HasFormat(UINT Format) const;
    AnsiString AsText() const;
    void SetAsText(const AnsiString& Value);
    void SetTextBuf(const char* Buffer);
    // Copies at most BufSize - 1 characters and a terminating zero; returns the characters copied.
    int GetTextBuf(char* Buffer, int BufSize) const;
    // The bytes of a format (for CF_TEXT the Windows-1250 text); empty when absent.
    AnsiString GetFormatData(UINT Format) const;
    void SetFormatData(UINT Format, const AnsiString& Data);

    // A TBitmap (or any picture) onto the clipboard; and the clipboard's picture into a TBitmap.
    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;

    struct Impl;

private:
    std::unique_ptr<Impl> FImpl;
};

TClipboard* Clipboard();
