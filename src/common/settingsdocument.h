#pragma once
// The program's settings document: the name it is loaded under in IniSettings and its file in
// the settings folder. Down here so that whatever stores a value takes the name from the store's
// layer, not from the program's entry.

constexpr const char *kSettingsFile = "/QuorvelView3D.ini";
constexpr const char *kSettingsDoc = "main_ini";
