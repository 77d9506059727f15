#include "core/MathUtil.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Half-extent below which a segment's bounding box is widened, so that
// axis-aligned segments still have an area to test against.
constexpr float MIN_SEGMENT_HALF_EXTENT = 0.05f;

// 2^31: the first float an int cannot hold.
constexpr float MAX_STEPS = 2147483648.0f;

} // namespace

uint32_t MathUtil::random()
{
    uint32_t value = 0;
    for (int shift = 24; shift >= 0; shift -= 8)
        value |= (static_cast<uint32_t>(std::rand()) & 0xFFu) << shift;
    return value;
}

float MathUtil::get_random()
{
    return static_cast<float>(random()) * (1.0f / 4294967296.0f);
}

int MathUtil::get_random_int(int a, int b)
{
    const uint32_t span = static_cast<uint32_t>(b) - static_cast<uint32_t>(a) + 1u;
    return static_cast<int>(static_cast<uint32_t>(a) + random() % span);
}

float MathUtil::grf(float base, float range)
{
    // A width an int cannot hold (a damaged definition) saturates instead of
    // being undefined; NaN counts as no width at all.
    const float scaled = std::fabs(range * 1000.0f);
    int steps = INT_MAX;
    if (std::isnan(scaled))
        steps = 0;
    else if (scaled < MAX_STEPS)
        steps = static_cast<int>(scaled);
    if (steps == 0)
        return 0.0f;
    return base + static_cast<float>(random() % static_cast<uint32_t>(steps)) / 1000.0f;
}

glm::vec3 MathUtil::getRandomVector(const glm::vec3& base, const glm::vec3& range)
{
    const float x = grf(base.x, range.x);
    const float y = grf(base.y, range.y);
    const float z = grf(base.z, range.z);
    return glm::vec3(x, y, z);
}

bool MathUtil::fcmp(float a, float b)
{
    return std::fabs(a - b) < 0.0001f;
}

bool MathUtil::insideRect(const glm::vec2& p, float x, float y, float w, float h)
{
    return x < p.x && p.x < x + w && y < p.y && p.y < y + h;
}

float MathUtil::distance2d(const glm::vec2& a, const glm::vec2& b)
{
    const double dx = static_cast<double>(a.x - b.x);
    const double dy = static_cast<double>(a.y - b.y);
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

bool MathUtil::pointInsideCircle(const glm::vec2& p, const glm::vec2& centre, float radius)
{
    return distance2d(p, centre) < radius;
}

int MathUtil::subStepCount(float length, float maxStep)
{
    if (!(length > maxStep))
        return 1;
    const float steps = std::ceil(length / maxStep);
    return steps < static_cast<float>(MAX_SUB_STEPS) ? static_cast<int>(steps) : MAX_SUB_STEPS;
}

float MathUtil::sawTooth(float t, float low, float high, float period)
{
    const float m = t - static_cast<float>(static_cast<int>(t / period)) * period;
    if (m < 0.0f)
        return low;
    if (m > period)
        return high;
    return low + m * ((high - low) / period);
}

bool MathUtil::pointInRectangle(const glm::vec2& p, const glm::vec2& centre, const glm::vec2& size)
{
    const glm::vec2 half = size * 0.5f;
    return centre.x - half.x < p.x && p.x < centre.x + half.x && centre.y - half.y < p.y &&
           p.y < centre.y + half.y;
}

bool MathUtil::circleIntersectsLineSegment(const glm::vec2& c, float radius, const glm::vec2& a,
                                           const glm::vec2& b)
{
    const glm::vec2 direction = (a - b) / glm::length(a - b);
    const glm::vec2 nearest = b + glm::dot(c - b, direction) * direction;
    if (glm::length(nearest - c) > radius)
        return false;

    const glm::vec2 centre = (a + b) * 0.5f;
    const glm::vec2 halfExtent = glm::max(glm::abs(a - b) * 0.5f, glm::vec2(MIN_SEGMENT_HALF_EXTENT));
    return pointInRectangle(nearest, centre, halfExtent * 2.0f);
}

bool MathUtil::circleIntersectsRectangle(const glm::vec2& c, float radius, const glm::vec2& centre,
                                         const glm::vec2& size)
{
    if (pointInRectangle(c, centre, size))
        return true;
    const glm::vec2 half = size * 0.5f;
    const glm::vec2 lowerLeft = centre - half;
    const glm::vec2 upperRight = centre + half;
    const glm::vec2 lowerRight(upperRight.x, lowerLeft.y);
    const glm::vec2 upperLeft(lowerLeft.x, upperRight.y);
    return circleIntersectsLineSegment(c, radius, lowerLeft, lowerRight) ||
           circleIntersectsLineSegment(c, radius, lowerRight, upperRight) ||
           circleIntersectsLineSegment(c, radius, upperRight, upperLeft) ||
           circleIntersectsLineSegment(c, radius, upperLeft, lowerLeft);
}

bool MathUtil::rectangleIntersectsRectangle(const glm::vec2& centre1, const glm::vec2& size1,
                                            const glm::vec2& centre2, const glm::vec2& size2)
{
    const glm::vec2 half = size1 * 0.5f;
    const glm::vec2 corners[4] = {centre1 + glm::vec2(-half.x, -half.y), centre1 + glm::vec2(half.x, -half.y),
                                  centre1 + glm::vec2(half.x, half.y), centre1 + glm::vec2(-half.x, half.y)};
    for (const glm::vec2& corner : corners) {
        if (pointInRectangle(corner, centre2, size2))
            return true;
    }
    return false;
}
