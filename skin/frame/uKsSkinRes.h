// The skin configuration component TKsSkinRes: reads "Skin\Config.xml" beside
// the program into its settings record, writes the record back, and tells every
// skinned form to re-apply the settings when they change. The unit lives beside
// the settings record and the form registry it works with.
#pragma once

#include "framework/Classes.h"
#include "skin/frame/FormSkinSettings.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace ks {

// A configuration file that cannot be read or parsed.
class EConfigError : public fw::EFrameworkError {
public:
    using fw::EFrameworkError::EFrameworkError;
};

// The files the component touches. Paths are built with backslashes as on
// Windows; the host implementation maps them to its own separator.
class TKsConfigFiles {
public:
    virtual ~TKsConfigFiles() = default;
    // The program's folder with a trailing backslash.
    virtual std::string ProgramFolder() const = 0;
    virtual bool FileExists(const std::string& path) const = 0;
    // Throws EConfigError when the file cannot be read.
    virtual std::string ReadFile(const std::string& path) const = 0;
    // Creates the folder and every missing parent.
    virtual void CreateFolders(const std::string& folder) const = 0;
    // Writes a temporary file in the same folder and then replaces path with it,
    // so a failure never leaves a truncated file. Throws EConfigError.
    virtual void WriteAtomically(const std::string& path, const std::string& bytes) const = 0;
};

// The real files; programFolder (with its trailing separator) replaces the
// program's own folder when given.
std::unique_ptr<TKsConfigFiles> CreatePlatformConfigFiles(std::string programFolder = {});

// Sends the skin-changed message to every registered skinned form, from the
// last registered to the first, letting the application process pending
// messages before each. Implemented by the platform.
void BroadcastSkinChanged();

// Parses text as a decimal integer the way the configuration file writes it;
// throws EConfigError "'<text>' is not a valid integer value".
int ConfigStrToInt(const std::string& text);

class TKsSkinRes : public fw::TComponent, public IKsFormSkinSource {
    FW_CLASS(TKsSkinRes)

    explicit TKsSkinRes(fw::TComponent* owner);
    TKsSkinRes(fw::TComponent* owner, std::unique_ptr<TKsConfigFiles> files);
    ~TKsSkinRes() override;

    TKsFormSkinRes* Form() const { return m_form.get(); }
    bool UseSkinFile() const { return m_useSkinFile; }
    void SetUseSkinFile(bool v) { m_useSkinFile = v; }
    const std::string& ConfigPath() const { return m_configPath; }

    void Loaded() override;
    void LoadConfig();
    void SaveConfig();
    void NotifyForms();

    TKsFormSkinRes* FormSkin() override { return m_form.get(); }

private:
    void LoadDocument(const std::string& bytes);
    void PickDefaultBackground();

    std::unique_ptr<TKsConfigFiles> m_files;
    std::unique_ptr<TKsFormSkinRes> m_form;
    bool m_useSkinFile = true;
    std::string m_configPath;
    bool m_saveWarned = false;
};

// The file name of the default background picture in "Skin\Default\".
inline constexpr const char* kDefaultSkinBackground = "skin_bk_leaf.jpg";

}  // namespace ks
