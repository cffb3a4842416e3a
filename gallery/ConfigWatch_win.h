// Follows the skin configuration file on disk: when it changes, the
// configuration is read again and every skinned form re-applies it, so a skin
// author sees an edit within a fraction of a second.
#pragma once

#include "framework/ExtCtrls_win.h"
#include "skin/frame/uKsSkinRes.h"

#include <cstdint>
#include <string>

class TConfigWatch : public fw::TTimer {
public:
    static constexpr unsigned kPollMs = 250;

    TConfigWatch(fw::TComponent* owner, ks::TKsSkinRes* skinRes);

    // What identifies one version of the file: its last write time and size
    // (both 0 while there is no file).
    struct Stamp {
        std::uint64_t WriteTime = 0;
        std::uint64_t Size = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp StampOf(const std::string& path);

private:
    void Check();

    ks::TKsSkinRes* m_skinRes;
    Stamp m_seen;
};
