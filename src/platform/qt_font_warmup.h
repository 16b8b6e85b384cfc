#pragma once

#include <thread>

namespace tarnwick {

// The first text a window draws makes the font configuration be read: every configuration
// file and the caches of the installed fonts. That work does not depend on the display, so
// it is started on a second thread before the application connects to the display and
// runs while it does; wait() is called before the first widget is made.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp() { wait(); }
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    void wait()
    {
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::thread m_thread;
};

} // namespace tarnwick
