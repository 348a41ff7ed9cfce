// The pages of the product web site that the help and web commands open.
#pragma once

#include <string>

constexpr const char* VANTRY_SITE = "https://vantry.app/";
constexpr const char* NIMBREL_SITE = "https://nimbrel.app/";

// The address a help or web command opens, or "" for another command.
std::string WebPageFor(int command);

// Opens the page with the system's handler; on failure tells the user with
// "Can't start website (%s)" (or "Can't start online help (%s)" for the help key).
bool OpenWebPage(const std::string& url, bool helpRequest = false);
