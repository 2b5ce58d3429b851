#pragma once
// A program folder of its own under /tmp with the main window built on it;
// every scripted dialog must be used by the end of the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/DialogTest.h"

class TMainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmarok-main-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        FDir = pattern;
        FOldFolder = ProgramFolder;
        ProgramFolder = FromOsPath(FDir) + "/";
        StartingUp = false;
        Form = std::make_unique<Tf_MainForm>(nullptr);
        f_MainForm = Form.get();
        ClearRecordedDialogs();
    }
    void TearDown() override
    {
        EXPECT_TRUE(VerifyNoPendingDialogs());
        Form.reset();
        ProgramFolder = FOldFolder;
        SetTestClock(0);
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    // A file of the program folder by its name there ("Wykazy\\a.txt") and its system path.
    AnsiString Path(const AnsiString& Name) const { return ProgramFolder + Name; }
    std::string OsPath(const AnsiString& Name) const { return ToOsPath(Path(Name)); }
    // Writes a file of the program folder, its folders made first.
    void Write(const AnsiString& Name, const AnsiString& Bytes)
    {
        ForceDirectories(ExtractFileDir(Path(Name)));
        SaveBytesToFile(Path(Name), Bytes);
    }
    AnsiString Read(const AnsiString& Name) const { return LoadBytesFromFile(Path(Name)); }
    // The catalogue file beside the program written and loaded into the main window.
    void LoadCatalogue(const AnsiString& Bytes)
    {
        Write("Katalog Norm\\normy_wszystkie.txt", Bytes);
        Form->LoadNormList(Path("Katalog Norm\\normy_wszystkie.txt"));
    }

    std::string FDir;
    AnsiString FOldFolder;
    std::unique_ptr<Tf_MainForm> Form;
};
