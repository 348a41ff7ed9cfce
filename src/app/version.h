// The program's name and version as the title bar, the About box and --version show it.
#pragma once

constexpr const char* VANTRY_VERSION_TEXT = "Vantry v4.0.4";
