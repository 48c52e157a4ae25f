#pragma once

#include <cstddef>
#include <string>

// The leading run of bytes that may appear in the model, serial-number and version fields the
// devices send (letters, digits, space, "-", ".", "/", ":", "_"), up to the first other byte
// (usually the zero padding) or the end of the field.
std::string trim_version_string(const void *bytes, size_t length);
