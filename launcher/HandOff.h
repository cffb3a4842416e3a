// The launcher's timed hand-off: the first tick of the main form's timer opens
// the platform's web address in the default browser, the second ends the
// process. The platform operations sit behind HandOffPlatform so that the
// sequence is tested away from Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace launcher {

class HandOffPlatform {
public:
    virtual ~HandOffPlatform() = default;

    // Opens the address with the shell's default action (ShellExecuteA with the
    // application window as owner, no verb, SW_SHOWNORMAL). The result is not
    // examined.
    virtual void OpenAddress(const std::string& address) = 0;
    // Ends the current process with the exit code; false when the system
    // reports failure (on success the call does not return).
    virtual bool TerminateCurrentProcess(std::uint32_t exitCode) = 0;
    virtual std::uint32_t CurrentProcessId() = 0;
    // The system directory ("C:\Windows\system32"), empty when unknown.
    virtual std::string SystemDirectory() = 0;
    // Starts a command line (WinExec) with the given show command. The result
    // is not examined.
    virtual void RunCommand(const std::string& commandLine, int showCommand) = 0;
};

inline constexpr int kShowMinimized = 2;  // SW_SHOWMINIMIZED

// "<system directory>\TaskKill.exe /F /PID <pid>": the fallback that ends the
// process when TerminateProcess fails. The program is named by its full path
// so that no TaskKill.exe in the current directory runs instead; a directory
// with blanks is quoted. Without a known system directory the bare name is
// used, as a last resort.
std::string TaskKillCommand(std::string_view systemDirectory, std::uint32_t processId);

// One tick of the main form's 500 ms timer. `ticks` is the unit-level tick
// counter (0 after the form is created).
void HandOffTick(std::int32_t& ticks, HandOffPlatform& platform, const std::string& address);

}  // namespace launcher
