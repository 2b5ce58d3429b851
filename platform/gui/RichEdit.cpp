// The rich edit on the toolkit's text document. The document lives as long
// as the control, so the text and its formats are there before and after
// the window; the text edit widget only shows it.
#include "platform/gui/RichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/gui/Canvas_p.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/QtText_p.h"
#include "platform/gui/Rtf_p.h"
#include "platform/gui/StdCtrls_p.h"

namespace {

// The character set is kept on the toolkit format as a property of ours.
constexpr int CharsetProperty = QTextFormat::UserProperty + 1;
// So is the size the text has, in half points, where the toolkit is given a smaller one to show.
constexpr int SizeProperty = QTextFormat::UserProperty + 2;
// No limit on the size shown.
constexpr int AnySize = 1 << 30;

QString ToQ(const WideString& w)
{
    return QString::fromUtf16(w.data(), qsizetype(w.size()));
}

WideString FromQ(const QString& s)
{
    return WideString(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

// The toolkit's format of f, shown at most ShownHalfPoints large.
QTextCharFormat ToCharFormat(const TRtfFormat& f, int ShownHalfPoints = AnySize)
{
    QTextCharFormat c;
    c.setFontFamilies(QStringList{ToQString(f.FontName)});
    c.setFontPointSize(std::min(f.HalfPoints, ShownHalfPoints) / 2.0);
    if (f.HalfPoints > ShownHalfPoints)
        c.setProperty(SizeProperty, f.HalfPoints);
    c.setFontWeight(f.Style & fsBold ? QFont::Bold : QFont::Normal);
    c.setFontItalic(f.Style & fsItalic);
    c.setFontUnderline(f.Style & fsUnderline);
    c.setFontStrikeOut(f.Style & fsStrikeOut);
    if (f.Color == clDefault)
        c.clearForeground();
    else
        c.setForeground(ToQColor(f.Color));
    c.setProperty(CharsetProperty, int(f.Charset));
    return c;
}

// What the toolkit format says, the rest from def.
TRtfFormat FromCharFormat(const QTextCharFormat& c, const TRtfFormat& def)
{
    TRtfFormat f = def;
    if (c.hasProperty(QTextFormat::FontFamilies)) {
        QStringList families = c.fontFamilies().toStringList();
        if (!families.isEmpty())
            f.FontName = FromQString(families.first());
    }
    if (c.hasProperty(SizeProperty))
        f.HalfPoints = c.intProperty(SizeProperty);
    else if (c.hasProperty(QTextFormat::FontPointSize))
        f.HalfPoints = std::max(2, int(std::lround(c.fontPointSize() * 2)));
    if (c.hasProperty(QTextFormat::FontWeight))
        f.Style = c.fontWeight() >= QFont::DemiBold ? (f.Style | fsBold) : (f.Style & ~fsBold);
    if (c.hasProperty(QTextFormat::FontItalic))
        f.Style = c.fontItalic() ? (f.Style | fsItalic) : (f.Style & ~fsItalic);
    if (c.hasProperty(QTextFormat::TextUnderlineStyle) || c.hasProperty(QTextFormat::FontUnderline))
        f.Style = c.fontUnderline() ? (f.Style | fsUnderline) : (f.Style & ~fsUnderline);
    if (c.hasProperty(QTextFormat::FontStrikeOut))
        f.Style = c.fontStrikeOut() ? (f.Style | fsStrikeOut) : (f.Style & ~fsStrikeOut);
    if (c.hasProperty(QTextFormat::ForegroundBrush))
        f.Color = FromQColor(c.foreground().color());
    if (c.hasProperty(CharsetProperty))
        f.Charset = TFontCharset(c.intProperty(CharsetProperty));
    return f;
}

Qt::Alignment ToQtAlignment(TRtfAlignment a)
{
    return a == raCenter ? Qt::AlignHCenter : a == raRight ? Qt::AlignRight : Qt::AlignLeft;
}

TRtfAlignment FromQtAlignment(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return raCenter;
    if (a & Qt::AlignRight)
        return raRight;
    return raLeft;
}

TRtfFormat FormatOfFont(const TFont* font)
{
    TRtfFormat f;
    if (!font)
        return f;
    f.FontName = font->Name();
    f.HalfPoints = std::max(2, font->Size() * 2);
    f.Color = font->Color() == clWindowText ? clDefault : font->Color();
    f.Style = font->Style();
    f.Charset = font->Charset() == DEFAULT_CHARSET ? EASTEUROPE_CHARSET : font->Charset();
    return f;
}

// Fills the document (cleared first) with the paragraphs, shown at most ShownHalfPoints large.
void FillDocument(QTextDocument& doc, const TRtfDocument& rtf, int ShownHalfPoints = AnySize)
{
    doc.clear();
    // The toolkit's formats of the last few formats met: text in a few formats taking turns
    // (as often as a letter at a time) makes each of them once.
    std::pair<TRtfFormat, QTextCharFormat> made[4];
    std::size_t count = 0;
    const auto charFormat = [&](const TRtfFormat& f) -> const QTextCharFormat& {
        for (std::size_t i = 0; i < std::min(count, std::size(made)); ++i)
            if (made[i].first == f)
                return made[i].second;
        auto& slot = made[count++ % std::size(made)];
        slot = {f, ToCharFormat(f, ShownHalfPoints)};
        return slot.second;
    };
    QTextCursor c(&doc);
    c.beginEditBlock();
    for (size_t i = 0; i < rtf.Paragraphs.size(); ++i) {
        const TRtfParagraph& p = rtf.Paragraphs[i];
        QTextBlockFormat bf;
        bf.setAlignment(ToQtAlignment(p.Alignment));
        const TRtfFormat& first = p.Runs.empty() ? rtf.DefaultFormat : p.Runs.front().Format;
        if (i == 0)
            c.setBlockFormat(bf);
        else
            c.insertBlock(bf, charFormat(first));
        if (p.Runs.empty())
            c.setBlockCharFormat(charFormat(rtf.DefaultFormat));
        for (const TRtfRun& r : p.Runs)
            c.insertText(ToQ(r.Text), charFormat(r.Format));
    }
    c.endEditBlock();
}

// The toolkit lays a document out in fixed-point pixels and hangs once it grows past about
// eight million of them. However narrow the edit, no layout is taller than a line per
// character in that character's size (and one per paragraph end), about a pixel per half
// point on a screen; where that sum passes Height (ShownHeight on a screen, less on a device of
// finer pixels), the largest sizes are shown smaller, down to where it fits (the text keeps its
// own sizes). A document needs hundreds of thousands of characters before its ordinary sizes
// are touched.
constexpr Int64 ShownHeight = 6000000;

int ShownSizeLimit(const TRtfDocument& rtf, Int64 Height = ShownHeight)
{
    std::vector<std::pair<int, Int64>> sizes;   // half points, characters of that size
    for (const TRtfParagraph& p : rtf.Paragraphs) {
        for (const TRtfRun& r : p.Runs)
            sizes.emplace_back(r.Format.HalfPoints, Int64(r.Text.size()));
        sizes.emplace_back(p.Runs.empty() ? rtf.DefaultFormat.HalfPoints : p.Runs.back().Format.HalfPoints, 1);
    }
    std::sort(sizes.begin(), sizes.end(), std::greater<>());
    // Capped at sizes[k].first, the characters from k on keep their sizes.
    Int64 below = 0, count = 0;
    for (const auto& [size, n] : sizes)
        below += Int64(size) * n;
    for (std::size_t k = 0; k < sizes.size(); ++k) {
        if (below + count * sizes[k].first <= Height) {
            if (k == 0)
                return AnySize;
            const Int64 fits = (Height - below) / std::max<Int64>(count, 1);
            return int(std::max<Int64>(2, std::min<Int64>(sizes[k - 1].first, fits)));
        }
        below -= Int64(sizes[k].first) * sizes[k].second;
        count += sizes[k].second;
    }
    return int(std::max<Int64>(2, Height / std::max<Int64>(count, 1)));
}

// The toolkit breaks a line inside a word wider than the edit only after looking in vain for a
// place to break up to the word's end, line after line: a word of n letters takes time growing
// with n squared to lay out (minutes for a hundred thousand letters of changing formats). A
// document holding a word longer than this wraps anywhere instead, every line laid out in time
// proportional to its own length; the words of other documents keep to whole words.
constexpr int LongWord = 100;

// The letters of the word being read, character after character.
struct TWordLength {
    int Letters = 0;
    // True once the word is longer than LongWord.
    bool Add(char16_t ch)
    {
        const QChar c(ch);
        if (c.isSpace() && c.decompositionTag() != QChar::NoBreak) {   // a place the toolkit breaks at
            Letters = 0;
            return false;
        }
        return ++Letters > LongWord;
    }
};

bool HasLongWord(const TRtfDocument& rtf)
{
    for (const TRtfParagraph& p : rtf.Paragraphs) {
        TWordLength word;
        for (const TRtfRun& r : p.Runs)
            for (char16_t ch : r.Text)
                if (word.Add(ch))
                    return true;
    }
    return false;
}

void SetWrapMode(QTextDocument& doc, QTextOption::WrapMode mode)
{
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(mode);
    doc.setDefaultTextOption(option);
}

TRtfDocument DocumentOf(const QTextDocument& doc, const TRtfFormat& def)
{
    TRtfDocument rtf;
    rtf.DefaultFormat = def;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        TRtfParagraph p;
        p.Alignment = FromQtAlignment(b.blockFormat().alignment());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QTextFragment frag = it.fragment();
            if (frag.isValid() && !frag.text().isEmpty())
                p.Runs.push_back(TRtfRun{FromCharFormat(frag.charFormat(), def), FromQ(frag.text())});
        }
        rtf.Paragraphs.push_back(std::move(p));
    }
    // An empty document has one empty block: no paragraphs.
    if (rtf.Paragraphs.size() == 1 && rtf.Paragraphs[0].Runs.empty())
        rtf.Paragraphs.clear();
    return rtf;
}

AnsiString BlockText(const QTextBlock& b)
{
    QString s = b.text();
    s.replace(QChar(0x2028), QChar(0x0B));
    return FromQString(s);
}

}  // namespace

struct TRichEdit::Impl {
    TRichEdit* Owner = nullptr;
    QTextDocument Doc;
    QTextCursor Cursor{&Doc};   // the selection while the widget does not show the document
    // What the widget holds while the control is hidden: the document is laid out only
    // while it can be seen, and a hidden rich edit reads and writes text without layout.
    QTextDocument Hidden;
    TRtfFormat Default;
    int ShownSize = AnySize;     // the largest size the toolkit shows, in half points
    bool Anywhere = false;       // lines wrap anywhere: the text holds a long word
    int Quiet = 0;               // changes from code: OnChange once at the end
    bool Changed = false;
    QAbstractTextDocumentLayout* Watched = nullptr;   // the layout whose size is followed
    int RequestedHeight = -1;                          // the height last asked for
    // The formatting rectangle (EM_SETRECT) as distances from the client edges; none: the client area.
    bool HasFormatRect = false;
    TRect FormatInsets;

    // Follows the height of the laid-out text (the layout of the document as it is now).
    void WatchLayout()
    {
        QAbstractTextDocumentLayout* layout = Doc.documentLayout();
        if (layout == Watched)
            return;
        if (Watched)
            QObject::disconnect(Watched, nullptr, &Doc, nullptr);
        Watched = layout;
        QObject::connect(layout, &QAbstractTextDocumentLayout::documentSizeChanged, &Doc,
                         [this](const QSizeF& size) {
                             const int height = int(std::ceil(size.height()));
                             if (height == RequestedHeight)
                                 return;
                             RequestedHeight = height;
                             try {
                                 Owner->RequestSize(TRect(0, 0, Owner->ClientWidth(), height));
                             } catch (...) {
                                 gui_state::HandleException();
                             }
                         });
    }

    QTextOption::WrapMode WrapMode() const
    {
        return Anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    }
    // The document is laid out in its own wrap mode as the widget takes it, and then in the
    // widget's: both keep the mode.
    void ApplyWrapMode()
    {
        SetWrapMode(Doc, WrapMode());
        if (QTextEdit* e = Widget())
            e->setWordWrapMode(WrapMode());
    }
    void SetAnywhere(bool v)
    {
        if (v != Anywhere) {
            Anywhere = v;
            ApplyWrapMode();
        }
    }
    // Text changed at From: lines wrap anywhere from when a word around it grew long.
    void CheckWords(int From, int Added)
    {
        if (Anywhere)
            return;
        // Far enough on both sides to hold a long word through From.
        const int reach = LongWord + 1;
        QTextCursor c(&Doc);
        c.setPosition(std::max(0, From - reach));
        c.setPosition(std::min(Doc.characterCount() - 1, From + Added + reach), QTextCursor::KeepAnchor);
        const QString text = c.selectedText();
        TWordLength word;
        for (QChar ch : text)
            if (word.Add(ch.unicode())) {
                SetAnywhere(true);
                return;
            }
    }

    // On a page of no size the document's layout does nothing (an invalid page, of no width,
    // would still lay the text out, in lines as long as its paragraphs); the widget gives it
    // its own width when it takes it.
    void NoLayout() { Doc.setPageSize(QSizeF(0, 0)); }

    QTextEdit* Widget() const
    {
        return dynamic_cast<QTextEdit*>(WinImpl(Owner).Widget.data());
    }
    // The widget while it shows the document.
    QTextEdit* Edit() const
    {
        QTextEdit* e = Widget();
        return e && e->document() == &Doc ? e : nullptr;
    }
    // The widget takes the document when the control shows and gives it up when it hides.
    void Show(bool Shown)
    {
        QTextEdit* e = Widget();
        if (!e || Shown == (e->document() == &Doc))
            return;
        if (Shown) {
            // Taking the document moves the widget's cursor, which would be kept as the control's.
            const QTextCursor kept = Cursor;
            e->setDocument(&Doc);
            WatchLayout();
            e->setTextCursor(kept);
            return;
        }
        Cursor = e->textCursor();
        e->setDocument(&Hidden);
        NoLayout();
    }
    QTextCursor GetCursor() const
    {
        if (QTextEdit* e = Edit())
            return e->textCursor();
        return Cursor;
    }
    void SetCursor(const QTextCursor& c)
    {
        Cursor = c;
        if (QTextEdit* e = Edit())
            e->setTextCursor(c);
    }
    int Count() const
    {
        if (Doc.blockCount() == 1 && Doc.firstBlock().length() <= 1)
            return 0;
        return Doc.blockCount();
    }
    // Runs a change from code: OnChange fires once, after it.
    template <class F>
    void Change(F&& f)
    {
        ++Quiet;
        try {
            f();
        } catch (...) {
            --Quiet;
            throw;
        }
        if (--Quiet == 0 && Changed) {
            Changed = false;
            Owner->Change();
        }
    }
    void SetPlain(const AnsiString& text) { Fill(RtfFromPlainText(text, Default)); }
    void SetRtf(const AnsiString& rtf) { Fill(ReadRtf(rtf)); }
    void Fill(const TRtfDocument& rtf)
    {
        ShownSize = ShownSizeLimit(rtf);
        Change([&] {
            // Emptied first, so that the old text is not laid out again in the new wrap mode.
            Doc.clear();
            SetAnywhere(HasLongWord(rtf));
            FillDocument(Doc, rtf, ShownSize);
        });
        SetCursor(QTextCursor(&Doc));
    }
    AnsiString Rtf() const { return WriteRtf(DocumentOf(Doc, Default)); }
    QTextCursor BlockCursor(int index) const
    {
        QTextCursor c(Doc.findBlockByNumber(index));
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        return c;
    }
};

// ---------------------------------------------------------------- lines
class TRichEditStrings : public TStrings {
public:
    explicit TRichEditStrings(TRichEdit* e) : FEdit(e) {}
    int GetCount() const override { return FEdit->Data().Count(); }
    AnsiString Get(int Index) const override
    {
        Check(Index, GetCount());
        return BlockText(FEdit->Data().Doc.findBlockByNumber(Index));
    }
    void Put(int Index, const AnsiString& S) override
    {
        Check(Index, GetCount());
        auto& d = FEdit->Data();
        d.Change([&] { d.BlockCursor(Index).insertText(ToQString(Line(S))); });
    }
    void Insert(int Index, const AnsiString& S) override
    {
        auto& d = FEdit->Data();
        int count = GetCount();
        Check(Index, count + 1);
        d.Change([&] {
            QString text = ToQString(Line(S));
            if (count == 0) {
                QTextCursor(&d.Doc).insertText(text, ToCharFormat(d.Default, d.ShownSize));
            } else if (Index == count) {
                QTextCursor c(&d.Doc);
                c.movePosition(QTextCursor::End);
                c.insertBlock();
                c.insertText(text);
            } else {
                QTextCursor c(d.Doc.findBlockByNumber(Index));
                c.insertText(text);
                c.insertBlock();
            }
        });
    }
    void Delete(int Index) override
    {
        auto& d = FEdit->Data();
        int count = GetCount();
        Check(Index, count);
        d.Change([&] {
            QTextBlock b = d.Doc.findBlockByNumber(Index);
            QTextCursor c(b);
            if (Index + 1 < d.Doc.blockCount()) {
                c.setPosition(b.next().position(), QTextCursor::KeepAnchor);
            } else if (Index > 0) {
                c.setPosition(b.previous().position() + b.previous().length() - 1);
                c.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
            } else {
                c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            }
            c.removeSelectedText();
        });
    }
    void Clear() override { FEdit->Clear(); }
    void SetText(const AnsiString& Value) override { FEdit->Data().SetPlain(Value); }

    void LoadFromStream(TStream* Stream) override
    {
        Int64 size = std::max<Int64>(Stream->Size() - Stream->Position(), 0);
        AnsiString data(size_t(size), '\0');
        data.resize(size_t(std::max<Int64>(Stream->Read(data.data(), size), 0)));
        Load(data);
    }
    void SaveToStream(TStream* Stream) override
    {
        AnsiString s = Content();
        Stream->WriteBuffer(s.data(), Int64(s.size()));
    }
    void SaveToFile(const AnsiString& FileName) override { SaveBytesToFile(FileName, Content()); }

private:
    void Load(const AnsiString& data)
    {
        if (!FEdit->PlainText() && LooksLikeRtf(data))
            FEdit->Data().SetRtf(data);
        else
            FEdit->Data().SetPlain(data);
    }
    AnsiString Content() const { return FEdit->PlainText() ? Text() : FEdit->Data().Rtf(); }
    // A line holds no paragraph end.
    static AnsiString Line(const AnsiString& s)
    {
        AnsiString out = s;
        for (char& c : out)
            if (c == '\r' || c == '\n')
                c = ' ';
        return out;
    }
    void Check(int Index, int Limit) const
    {
        if (Index < 0 || Index >= Limit)
            Error("List index out of bounds (%d)", Index);
    }
    TRichEdit* FEdit;
};

// ---------------------------------------------------------------- the control
TRichEdit::TRichEdit(TComponent* AOwner)
    : TWinControl(AOwner), FImpl(std::make_unique<Impl>())
{
    FImpl->Owner = this;
    FImpl->Default = FormatOfFont(Font());
    FImpl->Doc.setDocumentMargin(1);
    FImpl->NoLayout();
    FImpl->ApplyWrapMode();
    FImpl->Doc.setDefaultFont(ToQFont(*Font()));
    // Before the layout sees the change.
    QObject::connect(&FImpl->Doc, &QTextDocument::contentsChange, &FImpl->Doc,
                     [this](int From, int, int Added) { FImpl->CheckWords(From, Added); });
    QObject::connect(&FImpl->Doc, &QTextDocument::contentsChanged, &FImpl->Doc, [this] {
        if (FImpl->Quiet > 0) {
            FImpl->Changed = true;
            return;
        }
        try {
            Change();
        } catch (...) {
            gui_state::HandleException();
        }
    });
    FImpl->WatchLayout();
    FLines = std::make_unique<TRichEditStrings>(this);
    FSelAttributes = std::make_unique<TTextAttributes>(this, atSelected);
    FDefAttributes = std::make_unique<TTextAttributes>(this, atDefaultText);
    FParagraph = std::make_unique<TParaAttributes>(this);
    SetWidth(185);
    SetHeight(89);
    SetTabStop(true);
    SetColor(clWindow);
}

TRichEdit::~TRichEdit()
{
    Destroying();
    OnChange = nullptr;
    OnResizeRequest = nullptr;
    if (FImpl->Watched)
        QObject::disconnect(FImpl->Watched, nullptr, &FImpl->Doc, nullptr);
    // The widget lets go of the documents before they go.
    if (QTextEdit* e = FImpl->Widget())
        e->setDocument(new QTextDocument(e));
    QObject::disconnect(&FImpl->Doc, nullptr, nullptr, nullptr);
}

namespace {
// The edit widget of the control, whose text area can be set in from its edges.
class TRichTextWidget : public TPastingTextWidget<QTextEdit> {
public:
    // What lies between the text area and the edges is the field too, in its colour.
    TRichTextWidget()
    {
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
    }
    using QTextEdit::setViewportMargins;
};

// The control's settings on its widget: read-only, wrapping, scroll bars, frame, colour and the
// formatting rectangle (the document's own margin counted in it).
void ApplyLook(const TRichEdit* C, QTextEdit* e)
{
    if (auto* w = dynamic_cast<TRichTextWidget*>(e)) {
        const TRect m = C->Data().HasFormatRect ? C->Data().FormatInsets : TRect();
        const int doc = int(C->Data().Doc.documentMargin());
        w->setViewportMargins(std::max(0, m.Left - doc), std::max(0, m.Top - doc), std::max(0, m.Right - doc),
                              std::max(0, m.Bottom - doc));
    }
    const TScrollStyle bars = C->ScrollBars();
    e->setReadOnly(C->ReadOnly());
    e->setLineWrapMode(C->WordWrap() ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    e->setHorizontalScrollBarPolicy(bars == ssHorizontal || bars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                            : Qt::ScrollBarAsNeeded);
    e->setVerticalScrollBarPolicy(bars == ssVertical || bars == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    e->setFrameShape(C->BorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
    SetFieldColor(e, ToQColor(C->Color()));
    SetFieldColor(e->viewport(), ToQColor(C->Color()));
}
}  // namespace

TNativeWidget* TRichEdit::CreateNativeWidget()
{
    auto* edit = new TRichTextWidget();
    // The wrap mode first: the document is laid out as soon as the widget takes it.
    edit->setWordWrapMode(FImpl->WrapMode());
    edit->setDocument(Visible() ? &FImpl->Doc : &FImpl->Hidden);
    FImpl->WatchLayout();
    if (Visible())
        edit->setTextCursor(FImpl->Cursor);
    edit->setAcceptRichText(true);
    TNativeWidget* w = WrapWidget(edit);
    QObject::connect(edit, &QTextEdit::cursorPositionChanged, edit, [this, edit] {
        if (edit->document() == &FImpl->Doc)
            FImpl->Cursor = edit->textCursor();
    });
    QObject::connect(edit, &QTextEdit::selectionChanged, edit, [this, edit] {
        if (edit->document() != &FImpl->Doc)
            return;
        FImpl->Cursor = edit->textCursor();
        if (OnSelectionChange)
            OnSelectionChange(this);
    });
    // Applied once the widget is the control's.
    if (edit->document() == &FImpl->Doc)
        FImpl->Cursor = edit->textCursor();
    ApplyLook(this, edit);
    return w;
}

void TRichEdit::CMVisibleChanged(TMessage& Message)
{
    TWinControl::CMVisibleChanged(Message);
    FImpl->Show(Visible());
}

void TRichEdit::ApplyToWidget()
{
    if (QTextEdit* e = FImpl->Widget())
        ApplyLook(this, e);
}

void TRichEdit::SetBorderStyle(TBorderStyle v)
{
    FBorderStyle = v;
    ApplyToWidget();
}

void TRichEdit::WndProc(TMessage& Message)
{
    auto* r = reinterpret_cast<TRect*>(Message.LParam);
    const TRect client = ClientRect();
    switch (Message.Msg) {
    case EM_GETRECT:
        if (r) {
            const TRect& m = FImpl->FormatInsets;
            *r = FImpl->HasFormatRect ? TRect(m.Left, m.Top, client.Right - m.Right, client.Bottom - m.Bottom) : client;
        }
        return;
    case EM_SETRECT:
    case EM_SETRECTNP:
        FImpl->HasFormatRect = r != nullptr;
        if (r)
            FImpl->FormatInsets = TRect(r->Left, r->Top, client.Right - r->Right, client.Bottom - r->Bottom);
        ApplyToWidget();
        return;
    default:
        TWinControl::WndProc(Message);
    }
}

void TRichEdit::CMColorChanged(TMessage& Message)
{
    TWinControl::CMColorChanged(Message);
    ApplyToWidget();
}

void TRichEdit::SetWordWrap(bool v)
{
    FWordWrap = v;
    ApplyToWidget();
}

void TRichEdit::SetReadOnly(bool v)
{
    FReadOnly = v;
    ApplyToWidget();
}

void TRichEdit::SetScrollBars(TScrollStyle v)
{
    FScrollBars = v;
    ApplyToWidget();
}

void TRichEdit::SetLines(TStrings* v)
{
    if (v)
        FImpl->SetPlain(v->Text());
}

AnsiString TRichEdit::GetText() const
{
    return DocumentOf(FImpl->Doc, FImpl->Default).PlainText();
}

void TRichEdit::CMTextChanged(TMessage& Message)
{
    // Text set through the control: the document takes it as plain text.
    FImpl->SetPlain(FText);
    FText.clear();
    TWinControl::CMTextChanged(Message);
}

void TRichEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TRichEdit::RequestSize(const TRect& Rect)
{
    if (OnResizeRequest)
        OnResizeRequest(this, Rect);
}

void TRichEdit::Clear()
{
    FImpl->Change([&] {
        FImpl->Doc.clear();
        FImpl->SetAnywhere(false);
    });
    FImpl->SetCursor(QTextCursor(&FImpl->Doc));
}

int TRichEdit::SelStart() const
{
    return FImpl->GetCursor().selectionStart();
}

void TRichEdit::SetSelStart(int v)
{
    QTextCursor c(&FImpl->Doc);
    c.setPosition(std::clamp(v, 0, FImpl->Doc.characterCount() - 1));
    FImpl->SetCursor(c);
    if (OnSelectionChange)
        OnSelectionChange(this);
}

int TRichEdit::SelLength() const
{
    QTextCursor c = FImpl->GetCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TRichEdit::SetSelLength(int v)
{
    QTextCursor c = FImpl->GetCursor();
    int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + std::max(v, 0), 0, FImpl->Doc.characterCount() - 1), QTextCursor::KeepAnchor);
    FImpl->SetCursor(c);
    if (OnSelectionChange)
        OnSelectionChange(this);
}

AnsiString TRichEdit::SelText() const
{
    QString s = FImpl->GetCursor().selectedText();
    s.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    s.replace(QChar(0x2028), QChar(0x0B));
    return FromQString(s);
}

void TRichEdit::SetSelText(const AnsiString& v)
{
    QTextCursor c = FImpl->GetCursor();
    QString s = ToQString(v);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    FImpl->Change([&] { c.insertText(s); });
    FImpl->SetCursor(c);
}

void TRichEdit::SelectAll()
{
    QTextCursor c(&FImpl->Doc);
    c.select(QTextCursor::Document);
    FImpl->SetCursor(c);
    if (OnSelectionChange)
        OnSelectionChange(this);
}

// ---------------------------------------------------------------- attributes
namespace {
// The format the attributes stand for now.
TRtfFormat CurrentFormat(TRichEdit::Impl& d, TAttributeType type)
{
    if (type == atDefaultText)
        return d.Default;
    QTextCursor c = d.GetCursor();
    // The selection's first character, or the one before the caret.
    if (c.hasSelection()) {
        QTextCursor first(&d.Doc);
        first.setPosition(c.selectionStart() + 1);
        return FromCharFormat(first.charFormat(), d.Default);
    }
    return FromCharFormat(c.charFormat(), d.Default);
}

void ChangeFormat(TRichEdit::Impl& d, TAttributeType type, const std::function<void(TRtfFormat&)>& change)
{
    TRtfFormat f = CurrentFormat(d, type);
    change(f);
    QTextCharFormat full = ToCharFormat(f, d.ShownSize);
    // Only the property changed: the others stay as each run has them.
    TRtfFormat before = CurrentFormat(d, type);
    QTextCharFormat delta;
    if (f.FontName != before.FontName)
        delta.setFontFamilies(full.fontFamilies().toStringList());
    if (f.HalfPoints != before.HalfPoints) {
        delta.setFontPointSize(full.fontPointSize());
        delta.setProperty(SizeProperty, f.HalfPoints);
    }
    if ((f.Style ^ before.Style) & fsBold)
        delta.setFontWeight(full.fontWeight());
    if ((f.Style ^ before.Style) & fsItalic)
        delta.setFontItalic(full.fontItalic());
    if ((f.Style ^ before.Style) & fsUnderline)
        delta.setFontUnderline(full.fontUnderline());
    if ((f.Style ^ before.Style) & fsStrikeOut)
        delta.setFontStrikeOut(full.fontStrikeOut());
    if (f.Color != before.Color)
        delta.setForeground(full.foreground());
    if (f.Charset != before.Charset)
        delta.setProperty(CharsetProperty, int(f.Charset));
    if (type == atDefaultText) {
        d.Default = f;
        QFont font = d.Doc.defaultFont();
        font.setFamily(ToQString(f.FontName));
        font.setPointSizeF(std::min(f.HalfPoints, d.ShownSize) / 2.0);
        d.Doc.setDefaultFont(font);
        QTextCursor all(&d.Doc);
        all.select(QTextCursor::Document);
        d.Change([&] { all.mergeCharFormat(delta); });
        return;
    }
    QTextCursor c = d.GetCursor();
    if (c.hasSelection())
        d.Change([&] { c.mergeCharFormat(delta); });
    else
        c.mergeCharFormat(delta);   // the format of what is typed next
    d.SetCursor(c);
}
}  // namespace

AnsiString TTextAttributes::Name() const { return CurrentFormat(FRichEdit->Data(), FType).FontName; }
int TTextAttributes::Size() const { return (CurrentFormat(FRichEdit->Data(), FType).HalfPoints + 1) / 2; }
int TTextAttributes::Height() const { return -MulDiv(Size(), 96, 72); }
TColor TTextAttributes::Color() const
{
    TColor c = CurrentFormat(FRichEdit->Data(), FType).Color;
    return c == clDefault ? clWindowText : c;
}
TFontStyles TTextAttributes::Style() const { return CurrentFormat(FRichEdit->Data(), FType).Style; }
TFontCharset TTextAttributes::Charset() const { return CurrentFormat(FRichEdit->Data(), FType).Charset; }

void TTextAttributes::SetName(const AnsiString& v)
{
    ChangeFormat(FRichEdit->Data(), FType, [&](TRtfFormat& f) { f.FontName = v; });
}
void TTextAttributes::SetSize(int v)
{
    ChangeFormat(FRichEdit->Data(), FType, [&](TRtfFormat& f) { f.HalfPoints = std::clamp(v, 1, 1638) * 2; });
}
void TTextAttributes::SetHeight(int v)
{
    SetSize(MulDiv(std::abs(v), 72, 96));
}
void TTextAttributes::SetColor(TColor v)
{
    ChangeFormat(FRichEdit->Data(), FType,
                 [&](TRtfFormat& f) { f.Color = (v == clWindowText || v == clDefault) ? clDefault : v; });
}
void TTextAttributes::SetStyle(TFontStyles v)
{
    ChangeFormat(FRichEdit->Data(), FType, [&](TRtfFormat& f) { f.Style = v; });
}
void TTextAttributes::SetCharset(TFontCharset v)
{
    ChangeFormat(FRichEdit->Data(), FType, [&](TRtfFormat& f) { f.Charset = v; });
}

void TTextAttributes::Assign(TPersistent* Source)
{
    TRtfFormat src;
    if (auto* font = dynamic_cast<TFont*>(Source))
        src = FormatOfFont(font);
    else if (auto* attrs = dynamic_cast<TTextAttributes*>(Source))
        src = CurrentFormat(attrs->FRichEdit->Data(), attrs->FType);
    else {
        TPersistent::Assign(Source);
        return;
    }
    ChangeFormat(FRichEdit->Data(), FType, [&](TRtfFormat& f) { f = src; });
}

void TTextAttributes::AssignTo(TPersistent* Dest)
{
    if (auto* font = dynamic_cast<TFont*>(Dest)) {
        TRtfFormat f = CurrentFormat(FRichEdit->Data(), FType);
        font->SetName(f.FontName);
        font->SetSize((f.HalfPoints + 1) / 2);
        font->SetColor(f.Color == clDefault ? clWindowText : f.Color);
        font->SetStyle(f.Style);
        font->SetCharset(f.Charset);
        return;
    }
    TPersistent::AssignTo(Dest);
}

TAlignment TParaAttributes::Alignment() const
{
    TRtfAlignment a = FromQtAlignment(FRichEdit->Data().GetCursor().blockFormat().alignment());
    return a == raCenter ? taCenter : a == raRight ? taRightJustify : taLeftJustify;
}

void TParaAttributes::SetAlignment(TAlignment v)
{
    auto& d = FRichEdit->Data();
    QTextCursor c = d.GetCursor();
    QTextBlockFormat bf;
    bf.setAlignment(ToQtAlignment(v == taCenter ? raCenter : v == taRightJustify ? raRight : raLeft));
    d.Change([&] { c.mergeBlockFormat(bf); });
}

void TParaAttributes::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TParaAttributes*>(Source)) {
        SetAlignment(p->Alignment());
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- helpers
AnsiString RtfToPlainText(const AnsiString& rtf)
{
    if (!LooksLikeRtf(rtf))
        return rtf;
    return ReadRtf(rtf).PlainText();
}

AnsiString PlainTextToRtf(const AnsiString& text, TFont* font)
{
    return WriteRtf(RtfFromPlainText(text, FormatOfFont(font)));
}

namespace {
// The part of a document a rectangle can show: as many paragraphs as lines of the smallest
// font the reader gives (one point) fit in its height, and as many characters as those lines
// hold at a pixel each. What lies beyond is never seen, and laid out whole a huge document
// (a word of many thousand letters, thousands of paragraphs in the largest font) would keep
// the toolkit's layout busy for minutes.
TRtfDocument ShownPart(const TRtfDocument& doc, QPaintDevice* dev, const QSize& area)
{
    QFont smallest;
    smallest.setPointSizeF(1.0);
    const Int64 lines = area.height() / std::max(1, QFontMetrics(smallest, dev).height()) + 2;
    Int64 chars = lines * (Int64(area.width()) + 1);
    TRtfDocument part;
    part.DefaultFormat = doc.DefaultFormat;
    for (const TRtfParagraph& p : doc.Paragraphs) {
        if (Int64(part.Paragraphs.size()) >= lines || chars <= 0)
            break;
        TRtfParagraph& q = part.Paragraphs.emplace_back();
        q.Alignment = p.Alignment;
        for (const TRtfRun& r : p.Runs) {
            if (chars <= 0)
                break;
            q.Runs.push_back(TRtfRun{r.Format, r.Text.substr(0, std::size_t(std::min<Int64>(chars, Int64(r.Text.size()))))});
            chars -= Int64(q.Runs.back().Text.size());
        }
    }
    return part;
}
}  // namespace

void DrawRichText(TCanvas* canvas, const AnsiString& rtf, const TRect& r)
{
    if (!canvas)
        return;
    // The rectangle in the device's pixels (a mapped canvas gives it in its units).
    const QRect area = canvas->Data().DevRect(r);
    if (area.isEmpty())
        return;
    QPainter* p = canvas->Data().Painter();
    if (!p)
        return;
    TRtfFormat def = FormatOfFont(canvas->Font());
    QTextDocument doc;
    doc.setDocumentMargin(0);
    doc.documentLayout()->setPaintDevice(p->device());
    const TRtfDocument part =
        ShownPart(LooksLikeRtf(rtf) ? ReadRtf(rtf) : RtfFromPlainText(rtf, def), p->device(), area.size());
    if (HasLongWord(part))
        SetWrapMode(doc, QTextOption::WrapAnywhere);
    FillDocument(doc, part, ShownSizeLimit(part, ShownHeight * 96 / std::max(96, p->device()->logicalDpiY())));
    doc.setTextWidth(area.width());
    p->save();
    p->setClipRect(area, Qt::IntersectClip);
    p->translate(area.topLeft());
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, 0, area.width(), area.height());
    ctx.palette.setColor(QPalette::Text, ToQColor(canvas->Font()->Color()));
    doc.documentLayout()->draw(p, ctx);
    p->restore();
}
