// A display smaller than 1920 x 1080 gets a smaller window, and so does a
// desktop whose window manager and panel leave less room than that. In a
// smaller window the map still takes the hero everywhere from where its
// picture draws the places, and the HUD's numbers stay whole and clear of
// the bars under them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "e2e/GameSession.h"

namespace {

struct WindowSize {
    int width;
    int height;
};

// Where the map picture draws each place in a 1920 x 1080 window, the level
// it leads to, and the name that level shows at the top right.
struct Marker {
    int x, y;
    const char* level;
    const char* name;
};
const Marker MARKERS[] = {{176, 402, "level1_1", "SUNKEN CRYPT 1"},
                          {802, 848, "level2_1", "ICE CAVES 1"},
                          {1666, 697, "level3_1", "EASTERN WASTES 1"},
                          {1043, 432, "level0", "MORVELUND"}};

// White text, told from the world and the gold bar frames.
bool isInk(const glm::ivec3& p)
{
    return p.x >= 235 && p.y >= 235 && p.z >= 235;
}

// Bounding box of the ink inside a rectangle, y up from the window's bottom.
struct InkBox {
    int left = 1 << 20, right = -1, bottom = 1 << 20, top = -1;
    bool empty() const { return right < 0; }
};

InkBox inkIn(const Picture& picture, int x0, int x1, int yUp0, int yUp1)
{
    InkBox box;
    for (int yUp = std::max(0, yUp0); yUp < std::min(picture.height(), yUp1); ++yUp)
        for (int x = std::max(0, x0); x < std::min(picture.width(), x1); ++x) {
            if (!isInk(picture.pixel(x, picture.height() - 1 - yUp)))
                continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.bottom = std::min(box.bottom, yUp);
            box.top = std::max(box.top, yUp);
        }
    return box;
}

// The health and power numbers ("100/100" at the start) over the two side
// bars: wholly inside the window, as wide as the whole number, and with
// clear pixels between them and the frames' tops.
void expectNumbersWholeAndClear(const Picture& town, int w)
{
    const float s = static_cast<float>(w) / 1980.0f;
    const float t = static_cast<float>(w) / 1920.0f;
    const int frameTop = 10 + static_cast<int>(200.0f * s);
    // Glyph cells 35 pixels wide, 45 apart, at a third of the full size.
    const float numberWidth = (6.0f * 45.0f + 35.0f) * 0.3f * t;
    // Searched only over the bars' corners: a townsperson's white label may
    // wander through the same rows further in.
    const int room = static_cast<int>(2.0f * numberWidth);
    const struct {
        const char* which;
        int from, to;
    } halves[] = {{"health", 0, room}, {"power", w - room, w}};
    for (const auto& half : halves) {
        // From inside the frame up to well above where the number stands.
        const InkBox ink = inkIn(town, half.from, half.to, frameTop - 20, frameTop + static_cast<int>(60.0f * t));
        ASSERT_FALSE(ink.empty()) << "no " << half.which << " number";
        EXPECT_GE(ink.left, 1) << half.which << " number cut by the left edge";
        EXPECT_LE(ink.right, w - 2) << half.which << " number cut by the right edge";
        EXPECT_GT(ink.right - ink.left, 0.8f * numberWidth) << half.which << " number not whole";
        EXPECT_LT(ink.right - ink.left, numberWidth) << half.which << " number larger than its room";
        EXPECT_GT(ink.bottom, frameTop) << half.which << " number touches its bar's frame";
    }
}

// The level's name at the top right: white ink in its row that begins
// where a name of that length, right-aligned 10 pixels from the corner,
// begins. A name three letters longer or shorter would begin 40 pixels off.
void expectLevelName(const Picture& picture, const Marker& marker)
{
    const int w = picture.width();
    const int h = picture.height();
    const float nameLeft = static_cast<float>(w) - 0.3f * 45.0f * std::string(marker.name).size() - 10.0f;
    const InkBox ink = inkIn(picture, static_cast<int>(nameLeft) - 30, w, h - 30, h - 8);
    ASSERT_FALSE(ink.empty()) << "no level name over " << marker.level;
    EXPECT_NEAR(ink.left, nameLeft + 4.0f, 5.0f) << "not the name of " << marker.level;
}

class SmallWindow : public ::testing::TestWithParam<WindowSize> {};

} // namespace

TEST_P(SmallWindow, TheMapTakesTheHeroToEachPlaceWhereItIsDrawnAndTheNumbersStayWhole)
{
    const int w = GetParam().width;
    const int h = GetParam().height;
    PrivateXServer screen(w, h);
    if (screen.display().empty())
        GTEST_SKIP() << "no private " << w << " x " << h << " X server could be started (Xvfb missing?)";
    GameSession session(SessionOptions{"", {}, screen.display()});
    ASSERT_TRUE(session.start()) << session.failure();
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    ASSERT_NE(session.game().output().find("Creating " + size + " window"), std::string::npos);

    session.enterPlay();
    session.x().moveTo(w / 2, h / 2);
    session.waitFrames(1);
    const Picture town(session.screenshot("small-" + size + "-town"));
    ASSERT_FALSE(town.empty());
    expectNumbersWholeAndClear(town, w);

    // Town, crypt, ice caves, wastes and back to the town, each by its marker.
    for (const Marker& marker : MARKERS) {
        session.x().tap("m");
        session.waitFrames(1);
        session.x().moveToHud(marker.x * w / 1920, marker.y * h / 1080);
        session.x().click(1);
        const glm::vec2 start = levelStart(marker.level);
        glm::vec2 at;
        EXPECT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return distance(p, start) < 0.5f; }, &at))
            << "the marker did not lead to " << marker.level << "; last seen at " << at.x << ", " << at.y;
        session.waitFrames(1);
        const Picture arrived(session.screenshot("small-" + size + "-" + marker.level));
        ASSERT_FALSE(arrived.empty());
        expectLevelName(arrived, marker);
    }

    session.x().tap("Escape");
    session.clickExit();
    const int status = session.game().waitForExit();
    EXPECT_EQ(cleanEnd(session.game(), status), "") << session.game().output();
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmallWindow, ::testing::Values(WindowSize{1280, 720}, WindowSize{1024, 576}),
                         [](const ::testing::TestParamInfo<WindowSize>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

namespace {

struct DesktopCase {
    int screenWidth, screenHeight;
    int windowWidth, windowHeight;
};

class OnADesktop : public ::testing::TestWithParam<DesktopCase> {};

} // namespace

// A window manager frames the window and a panel keeps a strip of the
// screen: the game's whole window lies inside what is left, at the largest
// of its sizes that fits there with its frame.
TEST_P(OnADesktop, TheWholeWindowLiesInsideTheWorkAreaAtTheLargestSizeThatFits)
{
    const DesktopCase& c = GetParam();
    PrivateXServer screen(c.screenWidth, c.screenHeight, true);
    if (screen.display().empty())
        GTEST_SKIP() << "no private desktop could be started (Xvfb, openbox or tint2 missing?)";
    GameSession session(SessionOptions{"", {}, screen.display()});
    ASSERT_TRUE(session.start()) << session.failure();
    const XDriver& window = session.x();
    EXPECT_EQ(window.windowWidth(), c.windowWidth);
    EXPECT_EQ(window.windowHeight(), c.windowHeight);

    const ScreenRect area = screen.workArea();
    EXPECT_GE(window.windowLeft(), area.x);
    EXPECT_GE(window.windowTop(), area.y);
    EXPECT_LE(window.windowLeft() + window.windowWidth(), area.x + area.width);
    EXPECT_LE(window.windowTop() + window.windowHeight(), area.y + area.height)
        << "the window's bottom rows are under the panel or off the screen";
    // Drawn at that size, where the window stands.
    session.waitFrames(1);
    const Picture menu(session.screenshot("desktop-" + std::to_string(c.screenWidth) + "x" +
                                          std::to_string(c.screenHeight)));
    EXPECT_TRUE(session.showsMenu(menu));
    EXPECT_EQ(session.terminate(), 0);
}

// openbox's title bar is 20 pixels high, tint2's panel 30: 1280 x 720 is the
// most a 1920 x 1080 screen leaves room for, and a 1366 x 768 laptop's 1024 x
// 576.
INSTANTIATE_TEST_SUITE_P(Screens, OnADesktop,
                         ::testing::Values(DesktopCase{1920, 1080, 1280, 720}, DesktopCase{1366, 768, 1024, 576},
                                           DesktopCase{2560, 1440, 1920, 1080}),
                         [](const ::testing::TestParamInfo<DesktopCase>& info) {
                             return std::to_string(info.param.screenWidth) + "x" +
                                    std::to_string(info.param.screenHeight);
                         });
