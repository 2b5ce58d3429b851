// The version check of the main window: the version information of the
// maker's site ("version.ini") and the comparison of the published version
// with the running one.
#include <array>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/QelSensitiveLabel.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/UrlMon.h"

namespace {

// Only web addresses from the downloaded file are taken: the program opens
// them when the user clicks the links and the update button.
bool IsWebAddress(const AnsiString& s)
{
    return SameText(Copy(s, 1, 7), "http://") || SameText(Copy(s, 1, 8), "https://");
}

// The four numbers of "a.b.c.d": the text before each of the first three
// dots (empty when there is no dot left), the rest as the fourth. False when
// one of them is not a number.
bool SplitVersion(const AnsiString& Version, std::array<int, 4>& Fields)
{
    AnsiString rest = Version;
    for (int i = 0; i < 4; ++i) {
        AnsiString field;
        const size_t dot = rest.find('.');
        if (i == 3) {
            field = rest;
        } else if (dot != AnsiString::npos) {
            field = rest.substr(0, dot);
            rest.erase(0, dot + 1);
        }
        if (!TryStrToInt(field, Fields[size_t(i)]))
            return false;
    }
    return true;
}

}  // namespace

void Tf_MainForm::CreateVersionComponents()
{
    TPage* about = PageOf(Strony, "Informacja");
    a_l_9 = new TQelSensitiveLabel(this);
    a_l_9->SetName("a_l_9");
    a_l_9->SetParent(about);
    a_l_9->SetBounds(16, 16, 300, 16);
    a_l_9->SetCaption(DefaultHomePage);
    l_SzukamPracy = PlaceLabel(this, about, "l_SzukamPracy", "", 16, 40);
}

void Tf_MainForm::FetchVersionInfo()
{
    auto noInformation = [this] {
        a_l_9->SetCaption(DefaultHomePage);
        l_SzukamPracy->SetHint("");
        UpdateAddress = "";
        NewsText = "";
    };
    VersionKnown = false;
    AnsiString temp;
    try {
        temp = PrivateTempFolder() + "dane.ini";
    } catch (const Exception&) {
        noInformation();
        return;
    }
    DeleteFile(temp);   // nothing of an earlier download is read
    if (URLDownloadToFileA(nullptr, SiteBaseAddress + "version.ini", temp) != S_OK || !FileExists(temp)) {
        noInformation();
        DeleteFile(temp);
        return;
    }
    try {
        TIniFile ini(temp);
        AnsiString homePage = DefaultHomePage;
        AnsiString notice;
        if (ini.SectionExists("dane")) {
            if (ini.ValueExists("dane", "QVHomePage"))
                homePage = ini.ReadString("dane", "QVHomePage", DefaultHomePage);
            if (ini.ValueExists("dane", "CV_File"))
                notice = ini.ReadString("dane", "CV_File", "");
        }
        a_l_9->SetCaption(IsWebAddress(homePage) ? homePage : DefaultHomePage);
        l_SzukamPracy->SetHint(IsWebAddress(notice) ? notice : AnsiString());
        if (ini.SectionExists(ProductKey)) {
            if (ini.ValueExists(ProductKey, "version")) {
                PublishedVersion = ini.ReadString(ProductKey, "version", PublishedVersion);
                VersionKnown = true;
            }
            if (ini.ValueExists(ProductKey, "url")) {
                const AnsiString url = ini.ReadString(ProductKey, "url", "");
                UpdateAddress = IsWebAddress(url) ? url : AnsiString();
            }
            if (ini.ValueExists(ProductKey, "new"))
                NewsText = ini.ReadString(ProductKey, "new", "");
        } else {
            UpdateAddress = "";
            NewsText = "";
        }
    } catch (const Exception&) {
        // An unreadable file leaves what was read so far.
    }
    DeleteFile(temp);
}

bool Tf_MainForm::IsNewerVersion() const
{
    std::array<int, 4> running{}, published{};
    if (!SplitVersion(RunningVersion, running) || !SplitVersion(PublishedVersion, published))
        return false;
    return published > running;
}
