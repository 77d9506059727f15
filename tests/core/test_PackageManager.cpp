#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/PackageManager.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

namespace {

void putU32At(std::string& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// Loads an entry and returns its bytes; 'found' tells whether load succeeded.
std::string loadEntry(const std::string& name, bool* found = nullptr)
{
    unsigned size = 12345;
    void* buffer = PackageManager::getInstance()->load("data.mv2", name, &size);
    if (found != nullptr)
        *found = buffer != nullptr;
    if (buffer == nullptr)
        return "";
    std::string bytes(static_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

class PackageTest : public testing::Test {
protected:
    PackageTest() : chdir(dir.path()) {}

    bool build(const std::vector<std::string>& files)
    {
        return PackageManager::getInstance()->createPackage(files, "data.mv2", true);
    }

    TempDir dir;
    ScopedChdir chdir;
    PackageManager* packages = PackageManager::getInstance();
};

} // namespace

TEST(Crc32, MatchesTheStandardCheckValues)
{
    EXPECT_EQ(get_data_hash("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(get_data_hash("abc", 3), 0x352441C2u);
    EXPECT_EQ(get_data_hash("", 0), 0u);
}

TEST_F(PackageTest, SingleEntryPackageHasTheDocumentedLayout)
{
    dir.write("a", "abc");
    ASSERT_TRUE(build({"a"}));
    const std::string bytes = dir.read("data.mv2");
    ASSERT_EQ(bytes.size(), 87u);
    EXPECT_EQ(u32At(bytes, 0), 0x89ABCDEFu);
    EXPECT_EQ(u32At(bytes, 4), 1u);
    EXPECT_EQ(u32At(bytes, 8), 0x352441C2u);
    EXPECT_EQ(std::string(bytes.c_str() + 12), "a");
    EXPECT_EQ(bytes.substr(13, 63), std::string(63, '\0'));
    EXPECT_EQ(u32At(bytes, 12 + 64), 84u);
    EXPECT_EQ(u32At(bytes, 12 + 68), 3u);
    EXPECT_EQ(bytes.substr(84), "abc");
}

TEST_F(PackageTest, RoundTripsEveryEntryAndBothChecksumsAgree)
{
    dir.write("levels/one.xml", "<level/>");
    dir.write("empty.txt", "");
    std::string binary(1000, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7);
    dir.write("textures/blob.bin", binary);
    ASSERT_TRUE(build({"levels/one.xml", "empty.txt", "textures/blob.bin"}));

    EXPECT_EQ(loadEntry("levels/one.xml"), "<level/>");
    EXPECT_EQ(loadEntry("textures/blob.bin"), binary);
    bool found = false;
    EXPECT_EQ(loadEntry("empty.txt", &found), "");
    EXPECT_TRUE(found) << "an empty entry is still an entry";

    // The empty entry shares its offset with the next one.
    const std::string bytes = dir.read("data.mv2");
    EXPECT_EQ(u32At(bytes, 12 + 72 + 64), u32At(bytes, 12 + 144 + 64));

    unsigned stored = 0;
    unsigned computed = 1;
    ASSERT_TRUE(packages->getChecksum("data.mv2", &stored));
    ASSERT_TRUE(packages->calculateChecksum("data.mv2", &computed));
    EXPECT_EQ(stored, computed);
    EXPECT_EQ(stored, get_data_hash("<level/>", 8) + get_data_hash(binary.data(), 1000));
}

TEST_F(PackageTest, NamesUpTo63CharactersFitAnd64AreRefused)
{
    const std::string name63(63, 'n');
    const std::string name64(64, 'm');
    dir.write(name63, "x");
    dir.write(name64, "y");
    ASSERT_TRUE(build({name63}));
    EXPECT_EQ(loadEntry(name63), "x");

    LogCapture log;
    EXPECT_FALSE(build({name63, name64}));
    EXPECT_TRUE(log.contains("[ERROR]"));
    EXPECT_TRUE(log.contains("Length of filename " + name64 + " is too large"));
    // The record of the good name was written, the long one's was not.
    EXPECT_EQ(dir.read("data.mv2").size(), 12u + 72u);
}

TEST_F(PackageTest, LookupsMatchWholeNamesAndFindTheFirstOfDuplicates)
{
    dir.write("textures/font.png", "first");
    ASSERT_TRUE(build({"textures/font.png"}));
    LogCapture log;
    bool found = true;
    loadEntry("textures/font", &found);
    EXPECT_FALSE(found);
    EXPECT_TRUE(log.contains("Could not find textures/font in data.mv2"));

    ASSERT_TRUE(build({"textures/font.png", "textures/font.png"}));
    EXPECT_EQ(dir.read("data.mv2").size(), 12u + 2 * 72u + 10u);
    EXPECT_EQ(loadEntry("textures/font.png"), "first");
}

TEST_F(PackageTest, WriterRefusesBadInputsWithItsMessages)
{
    {
        LogCapture log;
        EXPECT_FALSE(build({}));
        EXPECT_TRUE(log.contains("  [ERROR] ["));
        EXPECT_TRUE(log.contains("] No input files"));
    }
    EXPECT_EQ(dir.read("data.mv2"), "");

    dir.write("present", "1");
    {
        LogCapture log;
        EXPECT_FALSE(build({"present", "missing"}));
        EXPECT_TRUE(log.contains("Input file missing does not exist"));
    }
    EXPECT_EQ(dir.read("data.mv2"), "") << "nothing is written before every input is known to exist";

    {
        LogCapture log;
        EXPECT_FALSE(packages->createPackage({"present"}, "data.mv2", false));
        EXPECT_TRUE(log.contains("The package file data.mv2 already exists, won't recreate"));
    }
    {
        LogCapture log;
        EXPECT_FALSE(packages->createPackage({"present"}, dir.file("no/such/dir/data.mv2"), true));
        EXPECT_TRUE(log.contains("Failed to open " + dir.file("no/such/dir/data.mv2") + " for writing"));
    }
}

TEST_F(PackageTest, AnInputThatExistsButCannotBeReadFailsTheBuild)
{
    // A directory exists but is not a readable file.
    dir.write("folder/inside", "x");
    LogCapture log;
    EXPECT_FALSE(build({"folder"}));
    EXPECT_TRUE(log.contains("[ERROR]"));
}

TEST_F(PackageTest, ReadersFailCleanlyOnAMissingPackage)
{
    LogCapture log;
    unsigned value = 0;
    EXPECT_FALSE(packages->getChecksum("data.mv2", &value));
    EXPECT_FALSE(packages->calculateChecksum("data.mv2", &value));
    EXPECT_EQ(packages->load("data.mv2", "x", &value), nullptr);
    EXPECT_EQ(log.count("Failed to open data file data.mv2"), 3);
    EXPECT_FALSE(packages->getChecksum("data.mv2", nullptr));
    EXPECT_FALSE(packages->calculateChecksum("data.mv2", nullptr));
}

TEST_F(PackageTest, DamagedPackagesAreRejectedWithoutReadingPastTheEnd)
{
    dir.write("a", "abcdef");
    dir.write("b", "ghijkl");
    ASSERT_TRUE(build({"a", "b"}));
    const std::string good = dir.read("data.mv2");

    struct Damage {
        const char* what;
        std::string bytes;
    };
    std::vector<Damage> damages;
    damages.push_back({"shorter than its header", good.substr(0, 7)});
    damages.push_back({"table cut short", good.substr(0, 12 + 72 + 30)});
    damages.push_back({"contents cut short", good.substr(0, good.size() - 3)});
    std::string hugeCount = good;
    putU32At(hugeCount, 4, 0xFFFFFFF0u);
    damages.push_back({"entry count far beyond the file", hugeCount});
    std::string hugeSize = good;
    putU32At(hugeSize, 12 + 72 + 68, 0xFFFFFFFFu);
    damages.push_back({"size runs past the end", hugeSize});
    std::string hugeOffset = good;
    putU32At(hugeOffset, 12 + 72 + 64, 0xFFFFFFF0u);
    damages.push_back({"offset plus size wraps past 4 GiB", hugeOffset});

    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        dir.write("data.mv2", damage.bytes);
        LogCapture log;
        unsigned checksum = 0;
        EXPECT_FALSE(packages->calculateChecksum("data.mv2", &checksum));
        // A name that is not there makes load walk the whole damaged table.
        bool found = true;
        loadEntry("not-there", &found);
        EXPECT_FALSE(found);
        EXPECT_GE(log.count("[ERROR]"), 2);
    }
}

TEST_F(PackageTest, ChecksumPassSeesAFlippedContentByte)
{
    dir.write("a", "abc");
    ASSERT_TRUE(build({"a"}));
    std::string bytes = dir.read("data.mv2");
    bytes[85] = 'X';
    dir.write("data.mv2", bytes);
    unsigned stored = 0;
    unsigned computed = 0;
    ASSERT_TRUE(packages->getChecksum("data.mv2", &stored));
    ASSERT_TRUE(packages->calculateChecksum("data.mv2", &computed));
    EXPECT_EQ(stored, get_data_hash("abc", 3));
    EXPECT_EQ(computed, get_data_hash("aXc", 3));
}
