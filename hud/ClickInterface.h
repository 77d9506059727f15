#pragma once

class Button;

// What a Button reports to when it is clicked or its hot key is pressed; the
// HUD implements it. Never deleted through this face.
class ClickInterface {
public:
    virtual void buttonClicked(Button* button) = 0;

protected:
    ~ClickInterface() = default;
};
