#pragma once
// The program's settings document: the name it is loaded under in IniSettings and its file in
// the settings folder. Down here so that whatever stores a value takes the name from the store's
// layer, not from the program's entry.

constexpr const char *kSettingsFile = "/QuorvelView3D.ini";
constexpr const char *kSettingsDoc = "main_ini";

// The frames the 3D view keeps on screen (the Vimo-E page sets them): their key in the
// "Standard" section and the most that are kept. The page offers up to that many; a stored or
// handed value beyond it would let the cloud grow without end.
constexpr const char *kFramesKeptKey = "showtime";
constexpr int kMaxFramesKept = 99;
