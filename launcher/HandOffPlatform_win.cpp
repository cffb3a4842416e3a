#include "launcher/HandOffPlatform_win.h"

#include <shellapi.h>

namespace launcher {

void WinHandOffPlatform::OpenAddress(const std::string& address)
{
    // The address is plain ASCII (checked when the program is configured), so
    // the ANSI entry point hands it over unchanged on every code page.
    ShellExecuteA(m_owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool WinHandOffPlatform::TerminateCurrentProcess(std::uint32_t exitCode)
{
    return TerminateProcess(GetCurrentProcess(), exitCode) != FALSE;
}

std::uint32_t WinHandOffPlatform::CurrentProcessId() { return GetCurrentProcessId(); }

std::string WinHandOffPlatform::SystemDirectory()
{
    char buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(buffer, length);
}

void WinHandOffPlatform::RunCommand(const std::string& commandLine, int showCommand)
{
    WinExec(commandLine.c_str(), static_cast<UINT>(showCommand));
}

}  // namespace launcher
