// The demo key: a key tree with the content a workshop's key would have,
// for trying the program and for the benchmarks.
#pragma once

#include <string>
#include <vector>

#include "tools/keybuilder/KeyBuilder.h"

namespace keybuilder {

// What the demo key holds, for tests that search it.
struct DemoKey {
  std::vector<std::string> originalFiles;  // native paths of sample originals
  std::vector<Driver> drivers;
};

// Fills a key with the demo content: a few hundred drivers across several
// makes (accented ones included), maker's and user drivers, suspended ones,
// ones without fingerprint, their driver files for most, sample originals
// (written into sampleFolder) matched by some drivers, a customer code,
// originals registered from samples 2 to 4 and modified files of them.
DemoKey BuildDemoKey(const KeyBuilder& key, const std::string& sampleFolder);

}  // namespace keybuilder
