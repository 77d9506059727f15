#pragma once

// Told when a unit's melee swing ends: the moment its hit lands. Gets back
// the user data handed over when the swing started.
class AnimationCompleteListener {
public:
    virtual void animationComplete(void* userData) = 0;

protected:
    ~AnimationCompleteListener() = default;
};
