// ProgramSettings: the settings file (see settings_place for where it lives), read at
// start and written at the end when something in it changed and it may be written.
#pragma once

#include "app/settings_place.h"
#include "foundation/qinfo.h"
#include "foundation/qstring.h"

#include <memory>

class ProgramSettings {
  public:
    // The place's file; one that must not be written is only read.
    explicit ProgramSettings(const SettingsPlace& place);
    ProgramSettings(const ProgramSettings&) = delete;
    ProgramSettings& operator=(const ProgramSettings&) = delete;

    // The settings file for a program at this path.
    static qstring PathFor(const char* executablePath);
    // A writable "vantry.ini" beside the program at this path (tests and old set-ups).
    static SettingsPlace PlaceBeside(const char* executablePath);

    // The program's own values, in the "global." section.
    bool GetGlobalString(const char* name, qstring& out, const char* def = nullptr);
    int GetGlobalInt(const char* name, int def);
    void SetGlobalString(const char* name, const char* value);
    void SetGlobalInt(const char* name, int value);

    QInfo& File() { return *settings; }
    const qstring& Path() const { return path; }

  private:
    qstring path;
    std::unique_ptr<QInfo> settings;
};
