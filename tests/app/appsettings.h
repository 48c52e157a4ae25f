#pragma once
// The settings document "main_ini" as the program loads it, in this test process's private
// temp folder: created empty and loaded once.

#include "inisettings.h"
#include "testsupport.h"

#include <fstream>
#include <string>

// Path of the settings file.
inline std::string load_test_settings()
{
    static const std::string path = [] {
        const std::string dir = testsupport::temp_dir();
        std::ofstream(dir + "/QuorvelView3D.ini").flush();
        IniSettings::instance()->load(dir, "/QuorvelView3D.ini", "main_ini");
        return dir + "/QuorvelView3D.ini";
    }();
    return path;
}
