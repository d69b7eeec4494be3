#pragma once

// Asks the system to restart or to shut down, interactively and never forced:
// running programs and the system's policy may still refuse.
enum class PowerAction { Reboot, PowerOff };

class PowerService
{
public:
    virtual ~PowerService() = default;
    // True when the request was accepted by the system.
    virtual bool request(PowerAction action) = 0;
};

PowerService &powerService();
void setPowerServiceForTesting(PowerService *replacement);
