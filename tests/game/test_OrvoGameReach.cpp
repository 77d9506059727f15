#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include <glm/gtc/constants.hpp>

#include "core/MailBox.h"
#include "game/Boss.h"
#include "game/Enemy.h"
#include "game/OrvoGame.h"
#include "game/Player.h"

namespace {

// A game with only a hero, its enemies and its boss: enough for who a swing
// reaches.
class ReachGame : public OrvoGame {
public:
    ReachGame() : OrvoGame("unused") { player = new Player(0.0f, 0.0f); }

    Enemy* spawnEnemy(const glm::vec3& position)
    {
        Enemy* enemy = new Enemy(position.x, position.y, 1.0f, 1, ENEMY_TYPE_ZOMBIE, nullptr, true, true);
        enemy->position = position;
        enemies.push_back(enemy);
        return enemy;
    }

    Boss* spawnBoss(const glm::vec3& position)
    {
        boss = new Boss(position.x, position.y, ENEMY_TYPE_HARIONA, nullptr, this, player);
        boss->position = position;
        return boss;
    }

    Player* hero() { return player; }
    using OrvoGame::bossWithinRange;
    using OrvoGame::enemyWithinRange;
};

class OrvoGameReach : public testing::Test {
protected:
    void TearDown() override { MailBox::getInstance()->clear(); }
};

// Hero positions and distances at which the straight-ahead dot product
// rounds differently; the headings sweep the whole circle.
const std::vector<glm::vec3> HERO_PLACES = {{0.0f, 0.0f, 2.0f}, {37.3f, 12.9f, 2.0f}, {94.5f, 61.2f, 2.0f}};
const std::vector<float> DISTANCES = {0.7f, 1.9f, 3.3f, 4.4f};
constexpr int HEADINGS = 1440;

// Where something straight ahead of the hero stands.
glm::vec3 straightAhead(const glm::vec3& hero, float heading, float distance)
{
    return hero + distance * glm::vec3(std::cos(heading), std::sin(heading), 0.0f);
}

// Puts the target straight ahead of the hero at every place, heading and
// distance, and counts the swings that would not reach it.
int missedStraightAhead(ReachGame& game, const std::function<void(const glm::vec3&)>& placeTarget,
                        const std::function<bool()>& reached)
{
    int missed = 0;
    for (const glm::vec3& place : HERO_PLACES) {
        game.hero()->position = place;
        for (int i = 0; i < HEADINGS; ++i) {
            const float heading = glm::two_pi<float>() * static_cast<float>(i) / HEADINGS;
            game.hero()->rotation.z = heading;
            for (float distance : DISTANCES) {
                placeTarget(straightAhead(place, heading, distance));
                if (!reached())
                    ++missed;
            }
        }
    }
    return missed;
}

} // namespace

TEST_F(OrvoGameReach, AnEnemyStraightAheadIsAlwaysWithinTheSwingsCone)
{
    ReachGame game;
    Enemy* enemy = game.spawnEnemy(glm::vec3(0.0f));
    const int missed = missedStraightAhead(
        game, [enemy](const glm::vec3& at) { enemy->position = at; },
        [&game, enemy] { return game.enemyWithinRange(true) == enemy; });
    EXPECT_EQ(missed, 0) << "of " << HERO_PLACES.size() * HEADINGS * DISTANCES.size();
}

TEST_F(OrvoGameReach, ABossStraightAheadIsAlwaysWithinTheSwingsCone)
{
    ReachGame game;
    Boss* boss = game.spawnBoss(glm::vec3(0.0f));
    const int missed = missedStraightAhead(
        game, [boss](const glm::vec3& at) { boss->position = at; }, [&game] { return game.bossWithinRange(); });
    EXPECT_EQ(missed, 0) << "of " << HERO_PLACES.size() * HEADINGS * DISTANCES.size();
}

TEST_F(OrvoGameReach, StraightBehindIsStillOutsideTheCone)
{
    ReachGame game;
    game.hero()->position = HERO_PLACES[1];
    Enemy* enemy = game.spawnEnemy(glm::vec3(0.0f));
    for (int i = 0; i < HEADINGS; i += 7) {
        const float heading = glm::two_pi<float>() * static_cast<float>(i) / HEADINGS;
        game.hero()->rotation.z = heading;
        enemy->position = straightAhead(HERO_PLACES[1], heading + glm::pi<float>(), 2.0f);
        EXPECT_EQ(game.enemyWithinRange(true), nullptr) << heading;
        EXPECT_EQ(game.enemyWithinRange(false), enemy) << heading;
    }
}
