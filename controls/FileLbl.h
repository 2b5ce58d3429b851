#pragma once
// A label that shows a file path shortened with "..." to fit its width,
// keeping the drive and the file name.
#include <memory>

#include "platform/gui/StdCtrls.h"

enum TDirection { drFromLeft, drFromRight };

class TFileLabel : public TCustomLabel {
public:
    explicit TFileLabel(TComponent* AOwner);
    ~TFileLabel() override;
    const AnsiString& FileName() const { return FFileName; }
    void SetFileName(const AnsiString& Value);
    const AnsiString& Separator() const { return FSeparator; }
    void SetSeparator(const AnsiString& Value);
    TDirection Direction() const { return FDirection; }
    void SetDirection(TDirection Value);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The caption that fits a width measured by TextWidth.
    static AnsiString FitPath(const AnsiString& FileName, const AnsiString& Separator, TDirection Direction, int W,
                              const std::function<int(const AnsiString&)>& TextWidth);

private:
    void Refit();
    AnsiString FFileName;
    // Paths are shown with "/" on this system.
    AnsiString FSeparator = "/";
    TDirection FDirection = drFromLeft;
};
