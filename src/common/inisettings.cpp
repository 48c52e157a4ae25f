#include "inisettings.h"

#include "dirhelpers.h"

IniSettings *IniSettings::instance()
{
    static IniSettings *store = new IniSettings;
    return store;
}

bool IniSettings::load(const std::string &directory, const std::string &file, const std::string &doc)
{
    if (docs_.count(doc) != 0)
        return false;
    auto d = std::make_unique<IniDocument>();
    d->path = directory + "/" + file;
    d->ini.SetUnicode(true);
    d->ini.SetSpaces(true);
    if (d->ini.LoadFile(d->path.c_str()) < 0)
        return false;
    docs_.emplace(doc, std::move(d));
    return true;
}

std::string IniSettings::get_value(const std::string &section, const std::string &key,
                                   const std::string &def, const std::string &doc) const
{
    const auto it = docs_.find(doc);
    if (it == docs_.end())
        return def;
    const char *v = it->second->ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return v != nullptr ? std::string(v) : def;
}

bool IniSettings::set_value(const std::string &section, const std::string &key,
                            const std::string &value, const std::string &doc)
{
    const auto it = docs_.find(doc);
    if (it == docs_.end())
        return false;
    IniDocument &d = *it->second;
    d.ini.SetValue(section.c_str(), key.c_str(), value.c_str());
    std::string text;
    if (d.ini.Save(text, true) < 0)
        return false;
    return write_file_replace(d.path, text.data(), text.size());
}
