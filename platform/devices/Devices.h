#pragma once

#include "FaultyVolume.h"

#include <cstdint>
#include <string>
#include <vector>

// A RAM disk behind nbdkit's error and delay filters; filterParameters say what they do, e.g.
// "error-pread-rate=100%", "error-pread-file=<path>", "delay-write=100ms". None: a healthy disk.
DeviceSetup ramDisk(std::int64_t bytes, const std::vector<std::string>& filterParameters = {});

// A disk whose bytes in [first, end) keep their old content: writes there are lost without an
// error. Its image lives in the scratch folder.
DeviceSetup stuckSectorsDisk(const std::string& scratchFolder, std::int64_t bytes,
                             std::int64_t first, std::int64_t end);

// A fake-capacity stick: it claims copies x realBytes, but every address wraps onto the real
// bytes, which live in an image in the scratch folder.
DeviceSetup wrappingDisk(const std::string& scratchFolder, std::int64_t realBytes, int copies);
