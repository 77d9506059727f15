#include "core/Util.h"

#include <SDL.h>
#include <signal.h>
#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/MathUtil.h"

int SCREEN_WIDTH = 1920;
int SCREEN_HEIGHT = 1080;

void set_window_dimension(int displayWidth, int displayHeight)
{
    if (displayWidth >= 1920 && displayHeight >= 1080) {
        SCREEN_WIDTH = 1920;
        SCREEN_HEIGHT = 1080;
    } else if (displayWidth >= 1280 && displayHeight >= 720) {
        SCREEN_WIDTH = 1280;
        SCREEN_HEIGHT = 720;
    } else {
        SCREEN_WIDTH = 1024;
        SCREEN_HEIGHT = 576;
    }
}

std::string request_x11_video_driver()
{
    // An ordinary hint would lose to the environment variable.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_OVERRIDE);
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver == nullptr || *driver == '\0' || strcasecmp(driver, "x11") == 0)
        return "";
    return driver;
}

std::string x_display_name()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr ? display : "(unset)";
}

const char* get_timestamp_string_at(unsigned ticks)
{
    static char buffer[20];
    const unsigned minutes = ticks / 60000;
    const unsigned seconds = (ticks % 60000) / 1000;
    const unsigned millis = ticks % 1000;
    std::snprintf(buffer, sizeof(buffer), "%03u:%02u:%03u", minutes, seconds, millis);
    return buffer;
}

const char* get_timestamp_string()
{
    return get_timestamp_string_at(SDL_GetTicks());
}

namespace {

volatile sig_atomic_t terminationSignalled = 0;

void onTerminationSignal(int /*signal*/)
{
    terminationSignalled = 1;
}

bool testClockSet = false;
unsigned testClockTicks = 0;

} // namespace

unsigned get_ticks()
{
    return testClockSet ? testClockTicks : SDL_GetTicks();
}

void set_test_ticks(unsigned ticks)
{
    testClockSet = true;
    testClockTicks = ticks;
}

void clear_test_ticks()
{
    testClockSet = false;
}

void install_termination_handler()
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool termination_requested()
{
    return terminationSignalled != 0;
}

const int exp_table[15] = {0,      1000,   3000,   7000,   12000,  20000,  30000, 60000,
                           90000,  130000, 200000, 300000, 400000, 600000, 999999};

int getExpNeededForLevel(int level)
{
    return exp_table[level - 1];
}

int getLevelAtExp(int exp)
{
    for (int i = MAX_PLAYER_LEVEL - 1; i >= 0; --i) {
        if (exp_table[i] < exp)
            return i + 1;
    }
    return 1;
}

int getKillExp(int playerLevel, int enemyLevel)
{
    constexpr float MIN_KILL_EXP = 1.0f;
    constexpr float MAX_KILL_EXP = 2500.0f;

    const float levelDifference = static_cast<float>(enemyLevel - playerLevel);
    float exp = static_cast<float>(enemyLevel * 100);
    // Only enemies at or above the player's level earn a bonus, growing
    // exponentially with the gap.
    if (levelDifference >= 0.0f) {
        const double bonus = static_cast<double>(levelDifference) * 100.0 +
                             100.0 * std::exp(0.25 * static_cast<double>(levelDifference));
        exp = static_cast<float>(static_cast<double>(exp) + bonus);
    }
    if (exp < MIN_KILL_EXP)
        return 1;
    if (exp > MAX_KILL_EXP)
        return 2500;
    return static_cast<int>(exp);
}

glm::vec2 world_to_screen(const glm::vec3& world, const glm::mat4& projection, const glm::mat4& view)
{
    const glm::vec4 clip = projection * (view * glm::vec4(world, 1.0f));
    const glm::vec2 ndc(clip.x / clip.w, clip.y / clip.w);
    const float x = (ndc.x * 0.5f + 0.5f) * static_cast<float>(SCREEN_WIDTH);
    const float y = (1.0f - (ndc.y * 0.5f + 0.5f)) * static_cast<float>(SCREEN_HEIGHT);
    return glm::vec2(x, y);
}

glm::vec3 screen_to_world(const glm::vec2& screen, const glm::mat4& projection, const glm::mat4& view)
{
    const float eyeX = (2.0f * screen.x / static_cast<float>(SCREEN_WIDTH) - 1.0f) / projection[0][0];
    const float eyeY = -(2.0f * screen.y / static_cast<float>(SCREEN_HEIGHT) - 1.0f) / projection[1][1];

    const glm::mat4 inverseView = glm::inverse(view);
    const glm::vec4 origin = inverseView * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    // The eye-space direction points along +z although the camera looks down
    // -z: the ray goes through the mirrored pixel, which the caller undoes.
    const glm::vec4 direction = inverseView * glm::vec4(eyeX, eyeY, 1.0f, 0.0f);

    const float t = -origin.z / direction.z;
    return glm::vec3(origin.x + t * direction.x, origin.y + t * direction.y, 0.0f);
}

glm::vec3 get_random_normalized_vector()
{
    glm::vec3 v;
    for (int axis = 0; axis < 3; ++axis) {
        const double r = static_cast<double>(MathUtil::random());
        v[axis] = static_cast<float>(2.0 * (r / 4294967294.0) - 1.0);
    }
    const float inverseLength = 1.0f / std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return v * inverseLength;
}
