#include "gallery/ConfigWatch_win.h"

#include "framework/UtilWindow_win.h"
#include "framework/WideText_win.h"

#include <windows.h>

#include <exception>

TConfigWatch::TConfigWatch(fw::TComponent* owner, ks::TKsSkinRes* skinRes)
    : fw::TTimer(owner),
      m_skinRes(skinRes),
      m_seen(StampOf(skinRes->ConfigPath()))
{
    SetInterval(kPollMs);
    // The timer runs only with a handler.
    SetOnTimer([this](fw::TObject*) { Check(); });
}

TConfigWatch::Stamp TConfigWatch::StampOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(fw::Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    Stamp stamp;
    stamp.WriteTime =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    stamp.Size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return stamp;
}

void TConfigWatch::Check()
{
    const Stamp now = StampOf(m_skinRes->ConfigPath());
    if (now == m_seen)
        return;
    m_seen = now;
    try {
        m_skinRes->LoadConfig();
        // A successful load tells nobody by itself.
        m_skinRes->NotifyForms();
    } catch (...) {
        // A half-written or broken file keeps the current look; the author
        // sees why on the debugger output and stderr.
        fw::ReportException(std::current_exception());
    }
}
