// Builds the demo key: make-demo-key DRIVE_FOLDER [SAMPLE_FOLDER]
// DRIVE_FOLDER plays the key's drive (it receives ZKM_Quorvane/ and the
// start script); the sample originals go to SAMPLE_FOLDER (default:
// DRIVE_FOLDER/../samples).
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tools/keybuilder/DemoKey.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s DRIVE_FOLDER [SAMPLE_FOLDER]\n", argv[0]);
    return 2;
  }
  try {
    std::filesystem::path drive(argv[1]);
    std::filesystem::create_directories(drive);
    std::string samples = argc == 3 ? argv[2] : (drive.parent_path() / "samples").string();
    keybuilder::KeyBuilder key(drive.string());
    keybuilder::DemoKey demo = keybuilder::BuildDemoKey(key, samples);
    std::printf("demo key in %s: %zu drivers, sample originals in %s\n", drive.c_str(),
                demo.drivers.size(), samples.c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make-demo-key: %s\n", error.what());
    return 1;
  }
}
