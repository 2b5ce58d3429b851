// Hostile input for the core's readers: ini files, the registry store, dates and the string
// list's line splitting. Each reader must take every case without a crash or a hang, and a value
// written after reading damaged input must read back.
#include <gtest/gtest.h>

#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "tests/common/Fuzz.h"
#include "tests/common/TestFiles.h"

namespace {

const std::string MenuIni =
    "[Kategorie]\r\nWyroby=\r\nKontakty=0\r\n\r\n[Wyroby]\r\nOkna=\r\n\r\n[Okna]\r\n"
    "Wykonanie z uszczelką=z_u.txt\r\nWykonanie bez uszczelki=bez_u.txt\r\nbez klucza\r\n";

// The menu file also as an editor saves it with a byte-order mark.
const std::vector<std::string> IniSamples = {
    MenuIni,
    "\xEF\xBB\xBF" + AnsiToUtf8(MenuIni),
    Utf16(MenuIni, false),
    Utf16(MenuIni, true),
    "[UsersName]\r\njkowalski=\r\nANowak=\r\n[Level]\r\njkowalski=4\r\nANowak=-3\r\n[Options]\r\nRunUserOut=0\r\n",
    "; komentarz\r\n[PRINTSETTINGS]\r\nLeft = 20\r\nTitle=\"  Zestawienie  \"\r\nScale=0,75\r\nDate=15.06.2025\r\n"
    "Hex=0x1F\r\nDollar=$FF\r\n[PRINTSETTINGS]\r\nLeft=99\r\nnot a key line\r\n",
};

const std::vector<std::string> RegistrySamples = {
    "[HKEY_CURRENT_USER\\Software\\Quorvane\\Tyrvenhold]\r\nPath=sz:/opt/velmarok/velmarok\r\n"
    "Version=sz:1.0.0.0\r\nName=sz:Velmarok Polskich Norm\r\nCount=dword:12\r\nBlob=hex:00FF0D0A3D\r\n"
    "@=expand:%25HOME%25\r\n",
    "[HKEY_CURRENT_USER\\Software\\Quorvane\\Colors]\r\nColor%20A=dword:-16777201\r\n[HKEY_CURRENT_USER]\r\n"
    "[HKEY_CURRENT_USER\\Software\\Quorvane\\Tyrvenhold\\Sub%0D]\r\nx=sz:a%0Db\r\n",
};

const std::vector<std::string> DateSamples = {
    "15.06.2025", "29.02.2000", "1.1.1", "31.12.9999", "15.06.2025 14:05:09", "14:05", "23:59:59",
    "14:05:09.007", "2 PM", "0.0.0", " 15 . 06 . 25 ", "15.06", "12:00 AM",
};

}   // namespace

TEST(Fuzz, IniFilesReadAnyBytesAndStayWritable)
{
    TTempDir dir("velmarok-fuzz-ini");
    const std::string file = dir / "fuzz.ini";
    for (int kind = 0; kind < 2; ++kind) {
        FuzzParser(kind == 0 ? "ini file (TMemIniFile)" : "ini file (TIniFile)", IniSamples, 300,
                                  11 + kind, [&](const std::string& bytes) {
            WriteFileBytes(file, bytes);
            std::unique_ptr<TCustomIniFile> ini;
            if (kind == 0)
                ini = std::make_unique<TMemIniFile>(file);
            else
                ini = std::make_unique<TIniFile>(file);
            TStringList sections, keys, values;
            ini->ReadSections(&sections);
            for (int s = 0; s < sections.Count() && s < 50; ++s) {
                const AnsiString sec = sections.Strings(s);
                ini->ReadSection(sec, &keys);
                ini->ReadSectionValues(sec, &values);
                for (int k = 0; k < keys.Count() && k < 50; ++k) {
                    ini->ReadString(sec, keys.Strings(k), "");
                    ini->ReadInteger(sec, keys.Strings(k), 0);
                    ini->ReadFloat(sec, keys.Strings(k), 0);
                    ini->ReadDate(sec, keys.Strings(k), 0);
                    ini->ReadBool(sec, keys.Strings(k), false);
                }
            }
            ini->WriteString("Fuzz", "Klucz", "wartość");
            ini->UpdateFile();
            TMemIniFile again(file);
            EXPECT_EQ(again.ReadString("Fuzz", "Klucz", "-"), "wartość");
            return true;
        });
    }
}

TEST(Fuzz, RegistryStoreReadsAnyBytesAndStaysWritable)
{
    TTempDir dir("velmarok-fuzz-reg");
    const std::string store = dir / "registry.ini";
    SetRegistryStoreFile(store);
    FuzzParser("registry store", RegistrySamples, 300, 21, [&](const std::string& bytes) {
        WriteFileBytes(store, bytes);
        TRegistry reg;
        TStringList names;
        if (reg.OpenKey("Software\\Quorvane", false)) {
            reg.GetKeyNames(&names);
            reg.CloseKey();
        }
        if (reg.OpenKey("Software\\Quorvane\\Tyrvenhold", false)) {
            reg.GetValueNames(&names);
            for (int i = 0; i < names.Count() && i < 50; ++i) {
                const AnsiString name = names.Strings(i);
                try {
                    switch (reg.GetDataType(name)) {
                    case rdInteger: reg.ReadInteger(name); break;
                    case rdBinary: {
                        char buf[64];
                        reg.ReadBinaryData(name, buf, sizeof buf);
                        break;
                    }
                    default: reg.ReadString(name); break;
                    }
                } catch (const ERegistryException& e) {
                    EXPECT_FALSE(e.Message().empty());   // a value of the wrong form, refused
                }
            }
            reg.CloseKey();
        }
        EXPECT_TRUE(reg.OpenKey("Software\\Quorvane\\Tyrvenhold", true));
        reg.WriteString("Path", "/opt/velmarok/velmarok");
        reg.CloseKey();
        TRegistry check;
        EXPECT_TRUE(check.OpenKeyReadOnly("Software\\Quorvane\\Tyrvenhold"));
        EXPECT_EQ(check.ReadString("Path"), "/opt/velmarok/velmarok");
        return true;
    });
    SetRegistryStoreFile("");
}

TEST(Fuzz, DatesAndTimesParseOrRefuse)
{
    ResetFormatSettings();
    FuzzParser("dates and times", DateSamples, 600, 31, [](const std::string& text) {
        TDateTime dt = 0;
        bool ok = TryStrToDate(text, dt);
        ok |= TryStrToTime(text, dt);
        ok |= TryStrToDateTime(text, dt);
        if (ok) {
            // What parses formats again.
            EXPECT_FALSE(DateTimeToStr(dt).empty());
        }
        StrToDateTime(text);   // EConvertError when refused
        return true;
    });
    FuzzParser("date formats", {"dd.mm.yyyy hh:nn:ss", "d mmmm yyyy", "\"dnia\" dddd", "am/pm h:n", "c", "zzz"}, 300,
               32, [](const std::string& format) {
        FormatDateTime(format, 45823.5876);
        FormatDateTime(format, -693593);
        return true;
    });
}

TEST(Fuzz, StringListSplitsAnyLineEnds)
{
    FuzzParser("string list text", IniSamples, 300, 41, [](const std::string& bytes) {
        TStringList list;
        list.SetText(bytes);
        // Lines never hold a line end, and joining them keeps every other byte.
        std::string rest;
        for (int i = 0; i < list.Count(); ++i) {
            EXPECT_EQ(list.Strings(i).find_first_of("\r\n"), std::string::npos);
            rest += list.Strings(i);
        }
        std::string plain;
        for (char c : bytes)
            if (c != '\r' && c != '\n')
                plain += c;
        EXPECT_EQ(rest, plain);
        return true;
    });
}
