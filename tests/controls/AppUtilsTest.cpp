// The storage routines: quoted values, keys per screen resolution and the
// default section of a component.
#include <gtest/gtest.h>

#include "controls/AppUtils.h"
#include "controls/KXCtrls.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"

TEST(AppUtils, QuotedValuesRoundTripAndResolutionKeys)
{
    AnsiString file = GetTempDir() + "velmarok_r12_store.ini";
    DeleteFile(file);
    const AnsiString values[] = {"\"w cudzysłowie\"", "'pojedynczy'", "\"", "zwykły", "\"a'", ""};
    {
        TIniFile ini(file);
        for (int i = 0; i < 6; ++i)
            IniWriteString(&ini, "Sekcja", "V" + IntToStr(i), values[i]);
        IniWriteResString(&ini, "Sekcja", "NormPos", "1,2,3,4");
        IniWriteInteger(&ini, "Sekcja", "Liczba", -7);
        ini.UpdateFile();
    }
    {
        TIniFile ini(file);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(IniReadString(&ini, "Sekcja", "V" + IntToStr(i), "?"), values[i]) << i;
        EXPECT_EQ(ini.ReadString("Sekcja", "NormPos" + ResolutionSuffix(), ""), "1,2,3,4");
        EXPECT_EQ(ini.ReadString("Sekcja", "NormPos", ""), "1,2,3,4");
        ini.WriteString("Sekcja", "Only", "5,6,7,8");
        EXPECT_EQ(IniReadResString(&ini, "Sekcja", "Only", ""), "5,6,7,8");
        ini.WriteString("Sekcja", "Only" + ResolutionSuffix(), "9,9,9,9");
        EXPECT_EQ(IniReadResString(&ini, "Sekcja", "Only", ""), "9,9,9,9");
        EXPECT_EQ(IniReadInteger(&ini, "Sekcja", "Liczba", 0), -7);
        EXPECT_EQ(IniReadInteger(&ini, "Sekcja", "Brak", 42), 42);
        IniEraseSection(&ini, "Sekcja");
        EXPECT_EQ(IniReadString(&ini, "Sekcja", "V3", "?"), "?");
    }
    // Any other object: nothing written, the default read.
    TStringList notStorage;
    IniWriteString(&notStorage, "S", "I", "x");
    EXPECT_EQ(IniReadString(&notStorage, "S", "I", "def"), "def");
    EXPECT_EQ(notStorage.Count(), 0);
    EXPECT_EQ(ResolutionSuffix(), Format("(%dx%d)", {Screen->Width(), Screen->Height()}));
    DeleteFile(file);
}

TEST(AppUtils, DefaultSectionNames)
{
    TForm form(nullptr);
    form.SetName("OknoGlowne");
    TPanel panel(&form);
    panel.SetName("Panel1");
    panel.SetParent(&form);
    TKxSpeedButton onPanel(&form);
    onPanel.SetName("Przycisk");
    onPanel.SetParent(&panel);
    TPopupMenu menu(&form);
    menu.SetName("Menu1");
    TPanel loose(nullptr);
    loose.SetName("Luzny");
    TKxSpeedButton inLoose(nullptr);
    inLoose.SetName("B");
    inLoose.SetParent(&loose);
    struct { TComponent* c; AnsiString section; } cases[] = {
        {nullptr, ""},
        {&form, form.ClassName()},
        {&onPanel, form.ClassName() + "Przycisk"},
        {&menu, form.ClassName() + ".Menu1"},
        {&inLoose, "LuznyB"},
    };
    for (auto& k : cases)
        EXPECT_EQ(GetDefaultSection(k.c), k.section);
}
