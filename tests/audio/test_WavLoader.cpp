#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "AudioTestSupport.h"
#include "audio/WavLoader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

namespace {

const uint32_t UNTOUCHED = 0xDEADBEEF;

std::string fixture(const std::string& name)
{
    return readFileBytes(std::string(MORVELUND_FIXTURES_DIR) + "/audio/" + name);
}

void setU32(std::string& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// What the reader made of some bytes: the samples, or the one error line.
struct Result {
    bool accepted = false;
    std::string samples;
    uint32_t size = UNTOUCHED;
    std::string log;
    int errorLines = 0;
};

Result read(const std::string& bytes)
{
    // An exact-size heap copy, so that a sanitizer build catches any read
    // past the input.
    void* input = std::malloc(bytes.size() + (bytes.empty() ? 1 : 0));
    std::memcpy(input, bytes.data(), bytes.size());
    Result result;
    LogCapture log;
    void* samples = WavLoader::loadRawDataFromWav(input, static_cast<unsigned>(bytes.size()), &result.size);
    result.log = log.text();
    result.errorLines = log.count("[ERROR]");
    result.accepted = samples != nullptr;
    if (samples != nullptr && result.size != UNTOUCHED)
        result.samples.assign(static_cast<const char*>(samples), result.size);
    std::free(samples);
    std::free(input);
    return result;
}

void expectRejected(const Result& result, const std::string& message)
{
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.size, UNTOUCHED) << "the size must stay untouched on failure";
    EXPECT_EQ(result.errorLines, 1) << result.log;
    EXPECT_NE(result.log.find(message), std::string::npos) << result.log;
}

const char* const INVALID_FORMAT = "Invalid format of wav file (we need sample rate 11025, 1 channel and 16 bps)";

} // namespace

TEST(WavLoader, AFileSoxWritesInTheGamesLayoutIsAcceptedWithItsSamples)
{
    const std::string bytes = fixture("mono_11025_16bit.wav");
    ASSERT_GT(bytes.size(), 44u);
    const Result result = read(bytes);
    ASSERT_TRUE(result.accepted) << result.log;
    EXPECT_EQ(result.errorLines, 0);
    EXPECT_EQ(result.size, bytes.size() - 44);
    EXPECT_EQ(result.samples, bytes.substr(44));
}

TEST(WavLoader, SoxFilesInAnyOtherFormatFailWithTheOneFormatMessage)
{
    for (const char* name : {"stereo_11025_16bit.wav", "mono_44100_16bit.wav", "mono_11025_8bit.wav"}) {
        SCOPED_TRACE(name);
        const std::string bytes = fixture(name);
        ASSERT_GT(bytes.size(), 44u);
        expectRejected(read(bytes), INVALID_FORMAT);
    }
}

TEST(WavLoader, AChunkBetweenFormatAndDataFailsAtTheDataTag)
{
    // Editors commonly put a LIST/INFO chunk there; sox itself does not, so
    // one is spliced into a file sox wrote.
    std::string bytes = fixture("mono_11025_16bit.wav");
    const std::string list = std::string("LIST\x0c\0\0\0INFOISFT\0\0\0\0", 20);
    bytes.insert(36, list);
    setU32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));
    expectRejected(read(bytes), "Did not find data tag");
}

TEST(WavLoader, HeaderChecksFailInOrderWithTheFirstMessage)
{
    const std::string good = wavBytes(tone(0.01));

    expectRejected(read(good.substr(0, 43)), "Buffer length is not long enough to contain a wave header");
    expectRejected(read(""), "Buffer length is not long enough to contain a wave header");

    std::string notRiff = good;
    notRiff.replace(0, 4, "RIFX");
    notRiff.replace(8, 4, "AVI ");
    expectRejected(read(notRiff), "Not a RIFF file");

    std::string notWave = good;
    notWave.replace(8, 4, "WAVX");
    notWave.replace(12, 4, "LIST");
    expectRejected(read(notWave), "Not a wave file");

    std::string noFmt = good;
    noFmt.replace(12, 4, "fmX!");
    noFmt.replace(36, 4, "junk");
    expectRejected(read(noFmt), "Did not find fmt header, foudn f m X !");

    std::string badFormatAndData = wavBytes(tone(0.01), 22050);
    badFormatAndData.replace(36, 4, "fact");
    expectRejected(read(badFormatAndData), INVALID_FORMAT);
}

TEST(WavLoader, TheFourthByteOfTheFormatIdIsNotChecked)
{
    std::string bytes = wavBytes(tone(0.01));
    bytes[15] = '\0';
    const Result result = read(bytes);
    EXPECT_TRUE(result.accepted) << result.log;
    EXPECT_EQ(result.size, bytes.size() - 44);
}

TEST(WavLoader, AnEmptyDataChunkGivesAnEmptyBufferNotAFailure)
{
    const Result result = read(wavBytes({}));
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.size, 0u);
    EXPECT_EQ(result.errorLines, 0);
}

TEST(WavLoader, TheDataSizeDecidesHowMuchIsCopiedButNeverBeyondTheInput)
{
    const std::string bytes = wavBytes(tone(0.01));
    const uint32_t present = static_cast<uint32_t>(bytes.size() - 44);

    // Trailing chunks after the samples are left alone.
    const Result trailing = read(bytes + "LIST\0\0\0\0");
    ASSERT_TRUE(trailing.accepted);
    EXPECT_EQ(trailing.samples, bytes.substr(44));

    std::string shorter = bytes;
    setU32(shorter, 40, present - 2);
    EXPECT_EQ(read(shorter).samples, bytes.substr(44, present - 2));

    std::string tooLong = bytes;
    setU32(tooLong, 40, present + 1);
    const Result overrun = read(tooLong);
    EXPECT_FALSE(overrun.accepted);
    EXPECT_EQ(overrun.size, UNTOUCHED);
    EXPECT_EQ(overrun.errorLines, 1) << overrun.log;

    setU32(tooLong, 40, 0xFFFFFFFF);
    EXPECT_FALSE(read(tooLong).accepted);
}

TEST(WavLoader, FilesOnDiskAreReadWholeAndCheckedTheSameWay)
{
    TempDir dir;
    const std::string good = fixture("mono_11025_16bit.wav");
    uint32_t size = UNTOUCHED;
    void* samples = WavLoader::loadRawDataFromWavFile(dir.write("good.wav", good), &size);
    ASSERT_NE(samples, nullptr);
    EXPECT_EQ(size, good.size() - 44);
    EXPECT_EQ(std::memcmp(samples, good.data() + 44, size), 0);
    std::free(samples);

    LogCapture log;
    size = UNTOUCHED;
    const std::string missing = dir.file("missing.wav");
    EXPECT_EQ(WavLoader::loadRawDataFromWavFile(missing, &size), nullptr);
    EXPECT_EQ(WavLoader::loadRawDataFromWavFile(dir.write("empty.wav", ""), &size), nullptr);
    EXPECT_EQ(WavLoader::loadRawDataFromWavFile(dir.write("short.wav", good.substr(0, 20)), &size), nullptr);
    EXPECT_EQ(WavLoader::loadRawDataFromWavFile(dir.write("stereo.wav", fixture("stereo_11025_16bit.wav")), &size),
              nullptr);
    EXPECT_EQ(size, UNTOUCHED);
    EXPECT_TRUE(log.contains("Failed to read " + missing));
    EXPECT_TRUE(log.contains("Failed to read " + dir.file("empty.wav")));
    EXPECT_EQ(log.count("Buffer length is not long enough to contain a wave header"), 1);
    EXPECT_EQ(log.count(INVALID_FORMAT), 1);
}
