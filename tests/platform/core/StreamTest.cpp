#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/FileBytes.h"
#include "tests/common/TestFiles.h"

TEST(MemoryStream, ReadWriteSeekAndSize)
{
    TMemoryStream m;
    m.WriteBuffer("abcdef", 6);
    EXPECT_EQ(m.Position(), 6);
    EXPECT_EQ(m.Seek(-2, soFromEnd), 4);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 2);
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);
    // Writing past the end fills the gap with zero bytes.
    m.SetPosition(8);
    m.WriteBuffer("z", 1);
    EXPECT_EQ(std::string(m.Memory(), static_cast<size_t>(m.Size())), std::string("abcdef\0\0z", 9));
    m.SetSize(3);
    EXPECT_EQ(m.Position(), 3);
    m.SetPosition(-1);
    EXPECT_EQ(m.Read(buf, 1), 0);
    EXPECT_EQ(m.Write("x", 1), 0);
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
}

TEST(StringStream, DataStringAndCopyFrom)
{
    TStringStream s("Zastąpiona");
    EXPECT_EQ(s.ReadString(4), "Zast");
    s.WriteString("Ą");
    EXPECT_EQ(s.DataString(), "ZastĄpiona");
    TMemoryStream m;
    EXPECT_EQ(m.CopyFrom(&s, 0), 10);
    EXPECT_EQ(std::string(m.Memory(), 10), "ZastĄpiona");
    s.SetPosition(4);
    TStringStream part;
    part.CopyFrom(&s, 3);
    EXPECT_EQ(part.DataString(), "Ąpi");
    EXPECT_THROW(part.CopyFrom(&s, 10), EReadError);
}

TEST(FileStream, ModesAndErrors)
{
    TTempDir dir{"velmarok-stream"};
    std::string name = dir / "dane.bin";
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("12345", 5);
        EXPECT_EQ(f.FileName(), name);
    }
    {
        TFileStream f(name, fmOpenReadWrite | fmShareDenyNone);
        EXPECT_EQ(f.Size(), 5);
        f.Seek(2, soFromBeginning);
        f.WriteBuffer("x", 1);
        f.SetSize(4);
    }
    EXPECT_EQ(ReadFileBytes(name), "12x4");
    {
        TFileStream f(name, fmOpenRead);
        EXPECT_THROW(f.WriteBuffer("y", 1), EWriteError);
        char buf[4];
        f.ReadBuffer(buf, 4);
        EXPECT_THROW(f.ReadBuffer(buf, 1), EReadError);
    }
    struct Case { std::string Name; Word Mode; AnsiString Message; } cases[] = {
        {dir / "missing.bin", fmOpenRead, "Cannot open file \"" + (dir / "missing.bin") + "\""},
        {dir.Path.string(), fmOpenRead, "Cannot open file \"" + dir.Path.string() + "\""},
        {dir / "no/such/dir.bin", fmCreate, "Cannot create file \"" + (dir / "no/such/dir.bin") + "\""},
        {dir.Path.string(), fmCreate, "Cannot create file \"" + dir.Path.string() + "\""},
    };
    for (const auto& c : cases) {
        try {
            TFileStream f(c.Name, c.Mode);
            ADD_FAILURE() << c.Name;
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.Message(), c.Message);
            EXPECT_EQ(dynamic_cast<const EFCreateError*>(&e) != nullptr, c.Mode == fmCreate);
        }
    }
}

TEST(MemoryStream, FilesRoundTripAndFailedSaveKeepsOldFile)
{
    TTempDir dir{"velmarok-stream"};
    std::string name = dir / "obraz.jpg";
    TMemoryStream m;
    std::string bytes("\xFF\xD8\0\x01\r\n\x1A", 7);
    m.WriteBuffer(bytes.data(), 7);
    m.SaveToFile(name);
    TMemoryStream back;
    back.LoadFromFile(name);
    EXPECT_EQ(std::string(back.Memory(), static_cast<size_t>(back.Size())), bytes);
    EXPECT_THROW(m.SaveToFile(dir / "nodir/x.bin"), EFCreateError);
    EXPECT_THROW(back.LoadFromFile(dir / "none.bin"), EFOpenError);
    EXPECT_EQ(back.Size(), 7);
    // Only the target is left in the folder, no temporary copies.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), std::filesystem::directory_iterator()), 1);
}

// A file hashed a piece at a time gives the hash of its bytes held whole, on
// both sides of the megabyte pieces; a change anywhere changes the hash.
TEST(FileBytes, FileHashEqualsHashOfItsBytes)
{
    TTempDir dir{"velmarok-hash"};
    const std::string name = dir / "normy.txt";
    const std::size_t mb = std::size_t(1) << 20;
    std::set<std::uint64_t> seen;
    for (std::size_t size : {std::size_t(0), std::size_t(1), mb - 1, mb, mb + 1, 2 * mb, 3 * mb + 5}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = char('a' + (i * 7 + i / 4093) % 26);
        for (std::size_t at : std::set<std::size_t>{0, size / 2, size > 0 ? size - 1 : 0}) {
            std::string changed = bytes;
            if (size > 0)
                changed[at] = '|';
            std::ofstream(name, std::ios::binary | std::ios::trunc) << changed;
            std::size_t got = 0;
            std::uint64_t hash = 0;
            ASSERT_TRUE(HashFileOs(name, got, hash)) << size;
            EXPECT_EQ(got, size);
            EXPECT_EQ(hash, HashBytes(changed)) << size << " " << at;
            // The same bytes in runs cut anywhere, empty runs among them.
            const std::string_view v(changed);
            const std::size_t cut1 = size / 3, cut2 = std::min(size, mb + 7);
            const std::vector<std::string_view> runs = {v.substr(0, cut1), v.substr(cut1, 0), v.substr(cut1, cut2 - cut1),
                                                        v.substr(cut2)};
            EXPECT_EQ(HashBytes(runs), hash) << size << " " << at;
            if (size > 0) { EXPECT_NE(hash, HashBytes(bytes)) << size << " " << at; }
            EXPECT_TRUE(seen.insert(hash).second) << size << " " << at;
        }
    }
    std::size_t got = 0;
    std::uint64_t hash = 0;
    EXPECT_FALSE(HashFileOs(dir / "brak.txt", got, hash));
    EXPECT_FALSE(HashFileOs(dir.Path.string(), got, hash));
}
