#pragma once

#include <string>

// The volume label of a source device, as the system's device manager publishes it under
// /dev/disk/by-label; empty when the device has none or is no device.
std::string volumeLabelOf(const std::string& source);

// A by-label link name with its "\x20"-style escapes turned back into characters.
std::string decodeLabelLinkName(const std::string& name);
