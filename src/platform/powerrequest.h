#pragma once

#include <functional>

// Asks the system to restart or to shut down, interactively and never forced:
// running programs and the system's policy may still refuse.
enum class PowerAction { Reboot, PowerOff };

class PowerService
{
public:
    virtual ~PowerService() = default;
    // Returns at once. `done` is called exactly once, later, on the calling
    // thread's event loop, with true when the system accepted the request. The
    // system may first ask the user for a password: the answer can take minutes.
    virtual void request(PowerAction action, std::function<void(bool accepted)> done) = 0;
};

PowerService &powerService();
void setPowerServiceForTesting(PowerService *replacement);
