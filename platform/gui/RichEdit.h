#pragma once
// The rich edit: formatted text with character and paragraph attributes,
// read and written as RTF by our own reader and writer; and the rich-text
// helpers the grid uses to show and paint rich cells.
#include <memory>

#include "platform/gui/StdCtrls.h"   // TAlignment, TScrollStyle

class TRichEdit;

enum TAttributeType { atDefaultText, atSelected };

// The character format of the selection (SelAttributes) or of new text (DefAttributes).
class TTextAttributes : public TPersistent {
public:
    TTextAttributes(TRichEdit* AOwner, TAttributeType AType) : FRichEdit(AOwner), FType(AType) {}

    AnsiString Name() const;
    void SetName(const AnsiString& v);
    // Points.
    int Size() const;
    void SetSize(int v);
    // Pixels at 96 dpi, negative as in TFont.
    int Height() const;
    void SetHeight(int v);
    TColor Color() const;
    void SetColor(TColor v);
    TFontStyles Style() const;
    void SetStyle(TFontStyles v);
    TFontCharset Charset() const;
    void SetCharset(TFontCharset v);

    // From a TFont or other text attributes; to a TFont.
    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;

private:
    TRichEdit* FRichEdit;
    TAttributeType FType;
};

// The paragraph format of the selection.
class TParaAttributes : public TPersistent {
public:
    explicit TParaAttributes(TRichEdit* AOwner) : FRichEdit(AOwner) {}
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    void Assign(TPersistent* Source) override;

private:
    TRichEdit* FRichEdit;
};

// Rect: the size the text asks for (the control's client width, the height its text takes).
using TRichEditResizeEvent = std::function<void(TObject* Sender, const TRect& Rect)>;

class TRichEdit : public TWinControl {
public:
    explicit TRichEdit(TComponent* AOwner);
    ~TRichEdit() override;

    // One line per paragraph. Lines->LoadFromFile / LoadFromStream read RTF
    // (plain text when PlainText is set or the data is not RTF);
    // SaveToFile / SaveToStream write RTF unless PlainText is set.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* v);

    // Characters from the start; a paragraph end counts as one.
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    // Paragraph ends as CR LF.
    AnsiString SelText() const;
    void SetSelText(const AnsiString& v);
    void SelectAll();
    void Clear();

    TTextAttributes* SelAttributes() const { return FSelAttributes.get(); }
    void SetSelAttributes(TTextAttributes* v) { FSelAttributes->Assign(v); }
    TTextAttributes* DefAttributes() const { return FDefAttributes.get(); }
    void SetDefAttributes(TTextAttributes* v) { FDefAttributes->Assign(v); }
    TParaAttributes* Paragraph() const { return FParagraph.get(); }

    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool v) { FPlainText = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    // bsSingle (the default): the edit's sunken frame; bsNone: no frame.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);

    // Every change of the text, typed or set from code (once per change from code).
    TNotifyEvent OnChange;
    // The selection was changed by the user or set from code (SelStart, SelLength, SelectAll).
    TNotifyEvent OnSelectionChange;
    // The height the text takes changed (typed or set from code).
    TRichEditResizeEvent OnResizeRequest;

    struct Impl;
    Impl& Data() const { return *FImpl; }

protected:
    TNativeWidget* CreateNativeWidget() override;
    // Paragraphs joined by CR LF.
    AnsiString GetText() const override;
    void CMTextChanged(TMessage& Message) override;
    // The window shows the text only while the control is visible; hidden, the text is
    // read and written without being laid out.
    void CMVisibleChanged(TMessage& Message) override;
    // The text's background is Color.
    void CMColorChanged(TMessage& Message) override;
    virtual void Change();
    // EM_SETRECT and EM_SETRECTNP lay the text out in a rectangle of the client area (kept at
    // the same distances from the edges as the control is sized); EM_GETRECT gives it.
    void WndProc(TMessage& Message) override;
    // The text asks for another size: fires OnResizeRequest.
    virtual void RequestSize(const TRect& Rect);

private:
    friend class TTextAttributes;
    friend class TParaAttributes;
    friend class TRichEditStrings;
    void ApplyToWidget();
    std::unique_ptr<Impl> FImpl;
    std::unique_ptr<TStrings> FLines;
    std::unique_ptr<TTextAttributes> FSelAttributes;
    std::unique_ptr<TTextAttributes> FDefAttributes;
    std::unique_ptr<TParaAttributes> FParagraph;
    bool FPlainText = false;
    bool FWordWrap = true;
    bool FReadOnly = false;
    TScrollStyle FScrollBars = ssNone;
    TBorderStyle FBorderStyle = bsSingle;
};

// ---------------------------------------------------------------- rich text helpers
// The text of RTF, paragraphs joined by CR LF; text that is not RTF comes back as it is.
AnsiString RtfToPlainText(const AnsiString& rtf);
// RTF of plain text (lines split at CR LF, LF or CR) in the font's name, size, colour and style.
AnsiString PlainTextToRtf(const AnsiString& text, TFont* font);
// Paints RTF (or plain text in the canvas font) into r, wrapped at its width and clipped to it.
void DrawRichText(TCanvas* canvas, const AnsiString& rtf, const TRect& r);
