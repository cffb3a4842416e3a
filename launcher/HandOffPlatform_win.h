// The hand-off's platform operations on Windows.
#pragma once

#include <windows.h>

#include "launcher/HandOff.h"

namespace launcher {

class WinHandOffPlatform final : public HandOffPlatform {
public:
    // owner: the application's own (hidden) main window, the owner of any
    // window the shell shows while opening the address.
    explicit WinHandOffPlatform(HWND owner) : m_owner(owner) {}

    void OpenAddress(const std::string& address) override;
    bool TerminateCurrentProcess(std::uint32_t exitCode) override;
    std::uint32_t CurrentProcessId() override;
    std::string SystemDirectory() override;
    void RunCommand(const std::string& commandLine, int showCommand) override;

private:
    HWND m_owner;
};

}  // namespace launcher
