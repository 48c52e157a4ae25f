#pragma once
// The process-wide settings store: INI documents by name (only "main_ini" is ever loaded).
// Every value is read with a default at its use and the whole file is rewritten at each write.
// GUI thread only.

#include <SimpleIni.h>

#include <map>
#include <memory>
#include <string>

struct IniDocument {
    std::string path;
    // case-insensitive sections and keys, single-valued keys, single-line values
    CSimpleIniA ini{true, false, false};
};

class IniSettings {
public:
    // Created on first use, never destroyed.
    static IniSettings *instance();

    // Loads directory + "/" + file as `doc`. False when `doc` is already loaded (that document
    // stays), or when the file cannot be read or parsed.
    bool load(const std::string &directory, const std::string &file, const std::string &doc);

    // The stored text, or `def` when the document, section or key is missing.
    std::string get_value(const std::string &section, const std::string &key,
                          const std::string &def, const std::string &doc) const;

    // Sets the key and rewrites the document's file with a UTF-8 signature. Ignored for a
    // document that is not loaded; false when the file could not be written.
    bool set_value(const std::string &section, const std::string &key, const std::string &value,
                   const std::string &doc);

    IniSettings() = default;
    IniSettings(const IniSettings &) = delete;
    IniSettings &operator=(const IniSettings &) = delete;

private:
    std::map<std::string, std::unique_ptr<IniDocument>> docs_;
};
