// ProgramSettings: the settings file beside the program ("vantry.ini"), read at start
// and written at the end when something in it changed.
#pragma once

#include "foundation/qinfo.h"
#include "foundation/qstring.h"

#include <memory>

class ProgramSettings {
  public:
    // executablePath: the running program; the settings file is "vantry.ini" beside it.
    explicit ProgramSettings(const char* executablePath);
    ProgramSettings(const ProgramSettings&) = delete;
    ProgramSettings& operator=(const ProgramSettings&) = delete;

    // The settings file for a program at this path.
    static qstring PathFor(const char* executablePath);

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
