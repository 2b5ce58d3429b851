#pragma once
// Private to platform/gui: where program text (Windows-1250) meets the toolkit.
#include <QMimeData>
#include <QString>

#include "platform/core/CodePage.h"

inline QString ToQString(const AnsiString& s)
{
    WideString w = AnsiToWide(s);
    return QString::fromUtf16(w.data(), static_cast<qsizetype>(w.size()));
}

inline AnsiString FromQString(const QString& s)
{
    return WideToAnsi(WideString(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size())));
}

// A multi-line text widget of the toolkit (QPlainTextEdit, QTextEdit) through which every paste
// (keys, context menu, middle button, drop) takes only what the clipboard offers: the toolkit's
// own insertion reads the first offered format even when there is none, as when no program owns
// the X clipboard, and an empty or missing clipboard pastes nothing.
template <class Base>
class TPastingTextWidget : public Base {
public:
    using Base::Base;

protected:
    bool canInsertFromMimeData(const QMimeData* Source) const override
    {
        return Offers(Source) && Base::canInsertFromMimeData(Source);
    }
    void insertFromMimeData(const QMimeData* Source) override
    {
        if (Offers(Source))
            Base::insertFromMimeData(Source);
    }

private:
    static bool Offers(const QMimeData* Source) { return Source && !Source->formats().isEmpty(); }
};
