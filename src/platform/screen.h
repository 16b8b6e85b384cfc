#pragma once

namespace tarnwick {

class Screen
{
public:
    virtual ~Screen() = default;
    // Width of the primary screen in pixels.
    virtual int width() const = 0;
};

} // namespace tarnwick
