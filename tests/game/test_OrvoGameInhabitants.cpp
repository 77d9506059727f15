#include <gtest/gtest.h>

#include <vector>

#include "game/OrvoGame.h"
#include "support/LogCapture.h"

namespace {

// The game's way of keeping what a level brings to life, opened to the test.
class LevelSettingGame : public OrvoGame {
public:
    using OrvoGame::keepIfSetUp;
};

// An inhabitant whose set-up succeeds or fails as told, and which counts its
// own deletion.
struct Inhabitant {
    Inhabitant(bool works, int* deleted) : works(works), deleted(deleted) {}
    ~Inhabitant() { ++*deleted; }
    bool setup() const { return works; }
    bool works;
    int* deleted;
};

} // namespace

TEST(OrvoGameInhabitants, AnInhabitantIsListedOnlyAfterItsSetUpSucceedsAndOneThatFailsIsDeleted)
{
    std::vector<Inhabitant*> listed;
    const auto list = [&listed](Inhabitant* made) { listed.push_back(made); };
    int deleted = 0;
    LogCapture log;

    Inhabitant* good = new Inhabitant(true, &deleted);
    EXPECT_TRUE(LevelSettingGame::keepIfSetUp(good, "Failed to setup enemy!", list));
    EXPECT_FALSE(LevelSettingGame::keepIfSetUp(new Inhabitant(false, &deleted), "Failed to setup enemy!", list));

    EXPECT_EQ(listed, std::vector<Inhabitant*>{good});
    EXPECT_EQ(deleted, 1) << "the one that failed, and only it";
    EXPECT_EQ(log.count("  [ERROR] ["), 1);
    EXPECT_TRUE(log.contains("Failed to setup enemy!"));
    delete good;
}
