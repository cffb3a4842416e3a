#include "launcher/HandOff.h"

#include <limits>

namespace launcher {

std::string TaskKillCommand(std::string_view systemDirectory, std::uint32_t processId)
{
    std::string program;
    if (systemDirectory.empty()) {
        program = "TaskKill";
    } else {
        program.assign(systemDirectory);
        if (program.back() != '\\' && program.back() != '/')
            program += '\\';
        program += "TaskKill.exe";
        if (program.find(' ') != std::string::npos)
            program = '"' + program + '"';
    }
    return program + " /F /PID " + std::to_string(processId);
}

void HandOffTick(std::int32_t& ticks, HandOffPlatform& platform, const std::string& address)
{
    // The counter saturates instead of overflowing: if ending the process
    // failed altogether, the timer keeps ticking for as long as the program runs.
    if (ticks < std::numeric_limits<std::int32_t>::max())
        ++ticks;

    if (ticks == 1) {
        platform.OpenAddress(address);
    } else if (ticks == 2) {
        if (!platform.TerminateCurrentProcess(0))
            platform.RunCommand(TaskKillCommand(platform.SystemDirectory(), platform.CurrentProcessId()),
                                kShowMinimized);
    }
}

}  // namespace launcher
