#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/core/Registry.h"
#include "tests/common/Bounds.h"
#include "tests/common/TestFiles.h"

namespace {

struct RegistryFixture : ::testing::Test {
    TTempDir Dir{"velmarok-reg"};
    std::string Store = Dir / "sub/registry.ini";
    void SetUp() override { SetRegistryStoreFile(Store); }
    void TearDown() override { SetRegistryStoreFile(""); }
    std::string Bytes() { return ReadFileBytes(Store); }
    static AnsiString MessageOf(const std::function<void()>& fn)
    {
        try {
            fn();
        } catch (const ERegistryException& e) {
            return e.Message();
        }
        return "<none>";
    }
};

}  // namespace

TEST_F(RegistryFixture, ValuesRoundTripThroughAFreshStore)
{
    const unsigned char blob[] = {0, 1, 0xFF, '\r', '\n', '='};
    {
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKey("Software\\Quorvane\\Tyrvenhold", false));
        ASSERT_TRUE(reg.OpenKey("Software\\Quorvane\\Tyrvenhold", true));
        EXPECT_EQ(reg.CurrentPath(), "Software\\Quorvane\\Tyrvenhold");
        reg.WriteString("Path", "C:\\Program Files\\Zastąpiona\\");
        reg.WriteInteger("Version", -12);
        reg.WriteBool("Ok", true);
        reg.WriteBinaryData("Blob", blob, sizeof blob);
        reg.WriteString("a=b [x] %20", "line1\r\nline2 %");
        reg.WriteString("", "default");
        reg.WriteFloat("F", 2.5);
        reg.WriteString("path", "C:\\Nowa\\");   // same value, other case
        reg.WriteString("Opis", "Zastąpiona");
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\SOFTWARE\\quorvane\\TYRVENHOLD"));
    EXPECT_EQ(reg.ReadString("PATH"), "C:\\Nowa\\");
    EXPECT_EQ(reg.ReadInteger("version"), -12);
    EXPECT_TRUE(reg.ReadBool("Ok"));
    EXPECT_EQ(reg.ReadString("a=b [x] %20"), "line1\r\nline2 %");
    EXPECT_EQ(reg.ReadString(""), "default");
    EXPECT_DOUBLE_EQ(reg.ReadFloat("F"), 2.5);
    unsigned char buf[16] = {};
    EXPECT_EQ(reg.ReadBinaryData("Blob", buf, sizeof buf), 6);
    EXPECT_EQ(std::memcmp(buf, blob, sizeof blob), 0);

    struct Row { AnsiString Name; TRegDataType Type; int Size; };
    Row types[] = {{"Path", rdString, 9}, {"Version", rdInteger, 4}, {"Blob", rdBinary, 6}, {"Nope", rdUnknown, -1}};
    for (const auto& t : types) {
        EXPECT_EQ(reg.GetDataType(t.Name), t.Type) << t.Name;
        EXPECT_EQ(reg.GetDataSize(t.Name), t.Size) << t.Name;
    }
    TStringList names;
    reg.GetValueNames(&names);
    EXPECT_EQ(Items(names), (std::vector<AnsiString>{"Path", "Version", "Ok", "Blob", "a=b [x] %20", "", "F", "Opis"}));
    EXPECT_NE(Bytes().find("Zast\xB9piona"), std::string::npos);
    EXPECT_NE(Bytes().find("[HKEY_CURRENT_USER\\Software\\Quorvane\\Tyrvenhold]\r\n"), std::string::npos);
}

TEST_F(RegistryFixture, ReadErrorsAndReadOnlyKeys)
{
    TRegistry w;
    w.OpenKey("Software\\X", true);
    w.WriteString("S", "tekst");
    w.WriteInteger("I", 5);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\X"));
    unsigned char buf[2];
    struct Case { std::function<void()> Call; AnsiString Message; } cases[] = {
        {[&] { reg.ReadInteger("S"); }, "Invalid data type for 'S'"},
        {[&] { reg.ReadString("I"); }, "Invalid data type for 'I'"},
        {[&] { reg.ReadBool("Missing"); }, "Failed to get data for 'Missing'"},
        {[&] { reg.ReadBinaryData("S", buf, 2); }, "Invalid data type for 'S'"},
        {[&] { reg.WriteString("S", "x"); }, "Failed to set data for 'S'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageOf(c.Call), c.Message);
    EXPECT_EQ(reg.ReadString("Missing"), "");
    EXPECT_EQ(reg.ReadBinaryData("Missing", buf, 2), 0);
    EXPECT_FALSE(reg.DeleteValue("S"));
    reg.CloseKey();
    EXPECT_EQ(MessageOf([&] { reg.WriteInteger("I", 1); }), "Failed to set data for 'I'");
    EXPECT_FALSE(reg.ValueExists("I"));
}

TEST_F(RegistryFixture, KeysAreRelativeListedAndDeletedWithSubkeys)
{
    TRegistry reg;
    // Each level opened relative to the previous one.
    ASSERT_TRUE(reg.OpenKey("SoftWare", true));
    ASSERT_TRUE(reg.OpenKey("Brenvik", true));
    ASSERT_TRUE(reg.OpenKey("Palette0", true));
    EXPECT_EQ(reg.CurrentPath(), "SoftWare\\Brenvik\\Palette0");
    reg.WriteString("ColorA", "FF00FF");
    EXPECT_TRUE(reg.KeyExists("\\software\\brenvik"));
    EXPECT_FALSE(reg.KeyExists("Brenvik"));   // relative to Palette0
    ASSERT_TRUE(reg.OpenKey("\\Software\\Brenvik\\Palette1\\Deep", true));
    ASSERT_TRUE(reg.OpenKey("\\Software\\Brenvik", false));
    TStringList keys;
    reg.GetKeyNames(&keys);
    EXPECT_EQ(Items(keys), (std::vector<AnsiString>{"Palette0", "Palette1"}));
    EXPECT_TRUE(reg.HasSubKeys());

    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.CurrentKey(), 0u);
    EXPECT_FALSE(reg.KeyExists("Software\\Brenvik"));

    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_TRUE(reg.DeleteKey("Software\\Brenvik\\Palette1"));
    EXPECT_FALSE(reg.KeyExists("Software\\Brenvik\\Palette1\\Deep"));
    EXPECT_TRUE(reg.KeyExists("Software\\Brenvik\\Palette0"));
    EXPECT_FALSE(reg.DeleteKey("Software\\Brenvik\\Palette1"));
    EXPECT_FALSE(reg.DeleteKey(""));
}

TEST_F(RegistryFixture, RegIniFileKeepsSectionsAsSubkeys)
{
    {
        TRegIniFile ini("Software\\Panele");
        ini.WriteInteger("Strip1", "Count", 3);
        ini.WriteBool("Strip1", "Locked", true);
        ini.WriteString("Strip1", "Name", "Łódź");
        ini.WriteString("Strip2", "Name", "b");
        EXPECT_EQ(ini.CurrentPath(), "Software\\Panele");
    }
    TRegIniFile ini("Software\\Panele");
    EXPECT_EQ(ini.ReadInteger("Strip1", "Count", 0), 3);
    EXPECT_TRUE(ini.ReadBool("Strip1", "Locked", false));
    EXPECT_EQ(ini.ReadString("strip1", "NAME", ""), "Łódź");
    EXPECT_EQ(ini.ReadString("Strip9", "Name", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("Strip1", "Missing", 7), 7);
    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Strip1", "Strip2"}));
    ini.ReadSectionValues("Strip1", &list);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Count=3", "Locked=1", "Name=Łódź"}));

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Panele\\Strip1", false));
    EXPECT_EQ(reg.GetDataType("Count"), rdString);
    reg.WriteInteger("Count", 4);   // a true integer reads back too
    EXPECT_EQ(ini.ReadInteger("Strip1", "Count", 0), 4);

    ini.DeleteKey("Strip1", "Count");
    EXPECT_EQ(ini.ReadInteger("Strip1", "Count", -1), -1);
    ini.EraseSection("Strip2");
    ini.ReadSections(&list);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Strip1"}));
}

TEST_F(RegistryFixture, DeepKeysAndManyValuesInTheStoreCostTheirLength)
{
    auto deepKey = [](int Levels) {
        std::string key = "[HKEY_CURRENT_USER";
        for (int i = 0; i < Levels; ++i)
            key += "\\ab";
        return key + "]\r\nv=sz:x\r\n";
    };
    std::string manyValues = "[HKEY_CURRENT_USER\\Software\\Wiele]\r\n";
    for (int i = 0; i < 50000; ++i)
        manyValues += "v" + std::to_string(i % 40000) + "=dword:" + std::to_string(i) + "\r\n";
    struct Case {
        const char* Name;
        std::string Store;
        std::string KeptAsItStands;   // "" when the whole store reads
    } cases[] = {
        {"8,000 levels", deepKey(8000), deepKey(8000)},
        {"16,000 levels", deepKey(16000), deepKey(16000)},
        {"50,000 values", manyValues, ""},
    };
    std::filesystem::create_directories(Dir.Path / "sub");
    for (const Case& k : cases) {
        WriteFileBytes(Store, k.Store);
        SetRegistryStoreFile(Store);
        const double start = ProcessSeconds();
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Quorvane\\Tyrvenhold", true)) << k.Name;
        reg.WriteString("Path", "C:\\Normy\\");
        reg.WriteInteger("Version", 3);
        EXPECT_LT(ProcessSeconds() - start, 2.0) << k.Name;
        TRegistry check;
        ASSERT_TRUE(check.OpenKeyReadOnly("Software\\Quorvane\\Tyrvenhold")) << k.Name;
        EXPECT_EQ(check.ReadString("Path"), "C:\\Normy\\") << k.Name;
        if (!k.KeptAsItStands.empty()) {
            // The key too deep to read stays in the file as it stood, and cannot be opened.
            const std::string bytes = Bytes();
            const std::size_t n = k.KeptAsItStands.size();
            EXPECT_TRUE(bytes.size() >= n && bytes.compare(bytes.size() - n, n, k.KeptAsItStands) == 0) << k.Name;
            EXPECT_FALSE(check.OpenKey(k.KeptAsItStands.substr(19, k.KeptAsItStands.find(']') - 19), true));
        } else {
            ASSERT_TRUE(check.OpenKeyReadOnly("\\Software\\Wiele"));
            EXPECT_EQ(check.ReadInteger("v0"), 40000);
            EXPECT_EQ(check.ReadInteger("v39999"), 39999);
        }
    }
}
