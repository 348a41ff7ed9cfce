#include "app/program_settings.h"

#include "foundation/qmessage.h"

#include <string>

namespace {
std::string globalKey(const char* name) {
    return std::string("global.") + name;
}
} // namespace

qstring ProgramSettings::PathFor(const char* executablePath) {
    qstring where(executablePath);
    where.CutFile();
    where += "/vantry.ini";
    return where;
}

SettingsPlace ProgramSettings::PlaceBeside(const char* executablePath) {
    return SettingsPlace{"", PathFor(executablePath).Text(), true, ""};
}

ProgramSettings::ProgramSettings(const SettingsPlace& place) : path(place.file.c_str()) {
    qtrace(QLOC("ProgramSettings::ProgramSettings"), "iniPath %s\n", path.Text());
    settings = std::make_unique<QInfo>(path, place.writable ? 0 : QInfo::READ_ONLY);
}

bool ProgramSettings::GetGlobalString(const char* name, qstring& out, const char* def) {
    return settings->GetString(globalKey(name).c_str(), out, def);
}

int ProgramSettings::GetGlobalInt(const char* name, int def) {
    return settings->GetInt(globalKey(name).c_str(), def);
}

void ProgramSettings::SetGlobalString(const char* name, const char* value) {
    settings->SetString(globalKey(name).c_str(), value);
}

void ProgramSettings::SetGlobalInt(const char* name, int value) {
    settings->SetInt(globalKey(name).c_str(), value);
}
