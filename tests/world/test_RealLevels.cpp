#include <gtest/gtest.h>

#include <unistd.h>

#include "WorldTestKit.h"
#include "core/AssetList.h"
#include "game/EnemyType.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace {

// Where the two summoning bosses call their minion.
const glm::vec3 SUMMON_POINT(45.0f, 20.0f, 0.0f);
const float UNIT_RADIUS = 1.0f;

bool isLevelFile(const std::string& path)
{
    return path.rfind("levels/", 0) == 0 && path.size() > 4 && path.compare(path.size() - 4, 4, ".xml") == 0;
}

bool summonsMinion(const Level& level)
{
    for (int i = 0; i < level.getNumEnemies(); ++i)
        if (level.getEnemyData(i)->type == ENEMY_TYPE_RABAKULUS || level.getEnemyData(i)->type == ENEMY_TYPE_FIHUGIA)
            return true;
    return false;
}

} // namespace

TEST(RealLevels, EveryShippedLevelLoadsFromTheGamePackageWithoutAComplaint)
{
    const std::string dataDir = MORVELUND_DATA_DIR;
    if (access((dataDir + "/data.mv2").c_str(), R_OK) != 0)
        GTEST_SKIP() << "no game package in " << dataDir << " (the full build makes it)";
    ASSERT_TRUE(worldContext().ok()) << worldContext().error();
    ScopedChdir inData(dataDir);

    int levels = 0;
    for (const std::string& path : getAssetList()) {
        if (!isLevelFile(path))
            continue;
        SCOPED_TRACE(path);
        ++levels;
        TestLevel level(path);
        LogCapture log;
        EXPECT_TRUE(level.setup());
        EXPECT_EQ(log.count("[ERROR]"), 0) << log.text();
        EXPECT_EQ(log.count("[WARNING]"), 0) << log.text();
        EXPECT_FALSE(level.name.empty());
        EXPECT_FALSE(level.isCollision(level.startPosition, UNIT_RADIUS)) << "the player starts in a wall";
        if (summonsMinion(level)) {
            EXPECT_FALSE(level.isCollision(SUMMON_POINT, UNIT_RADIUS)) << "the minion is summoned into a wall";
        }
    }
    EXPECT_EQ(levels, 10);
}
