#pragma once

// Random numbers from the system generator and strict 2D geometry tests.
//
// Every random() consumes exactly four rand() values; item rebuilding reseeds
// the generator and relies on this draw order to be reproducible.

#include <cstdint>

#include <glm/glm.hpp>

class MathUtil {
public:
    // 32 bits built from the low bytes of four rand() calls, high byte first.
    static uint32_t random();
    // A float in [0, 1]; 1.0 itself occurs.
    static float get_random();
    // a to b inclusive; the caller keeps a <= b.
    static int get_random_int(int a, int b);
    // base plus a value in [0, |range|) in steps of 0.001; 0.0 (not base) when
    // |range| is below 0.001. range is a width, not an upper bound.
    static float grf(float base, float range);
    // grf per axis, x then y then z.
    static glm::vec3 getRandomVector(const glm::vec3& base, const glm::vec3& range);

    // Into how many equal sub-steps a move of 'length' is cut so that none is
    // longer than 'maxStep': 1 for a move that fits and for one that is not a
    // number, never more than MAX_SUB_STEPS.
    static int subStepCount(float length, float maxStep);
    // Bounds the work of one frame after a stall of many minutes.
    static constexpr int MAX_SUB_STEPS = 1 << 16;
    // Runs a frame of 'dt' that moves 'length' as subStepCount equal steps,
    // step(stepTime, lastStep) -> bool each, until one answers false (the
    // mover was stopped). True when every step ran.
    template <typename Step>
    static bool forEachSubStep(float length, float maxStep, float dt, Step step)
    {
        const int steps = subStepCount(length, maxStep);
        const float stepTime = dt / static_cast<float>(steps);
        for (int i = 0; i < steps; ++i) {
            if (!step(stepTime, i == steps - 1))
                return false;
        }
        return true;
    }

    static bool fcmp(float a, float b);
    // Strictly inside the rectangle with lower-left corner (x, y); edges are outside.
    static bool insideRect(const glm::vec2& p, float x, float y, float w, float h);
    static float distance2d(const glm::vec2& a, const glm::vec2& b);
    static bool pointInsideCircle(const glm::vec2& p, const glm::vec2& centre, float radius);
    static float sawTooth(float t, float low, float high, float period);
    static bool pointInRectangle(const glm::vec2& p, const glm::vec2& centre, const glm::vec2& size);
    static bool circleIntersectsLineSegment(const glm::vec2& c, float radius, const glm::vec2& a,
                                            const glm::vec2& b);
    static bool circleIntersectsRectangle(const glm::vec2& c, float radius, const glm::vec2& centre,
                                          const glm::vec2& size);
    // Only the first rectangle's corners are tested against the second.
    static bool rectangleIntersectsRectangle(const glm::vec2& centre1, const glm::vec2& size1,
                                             const glm::vec2& centre2, const glm::vec2& size2);
};
