// Key trees for tests, from the key builder the demo key also uses.
#pragma once

#include "tests/support/Files.h"
#include "tools/keybuilder/DemoKey.h"
#include "tools/keybuilder/KeyBuilder.h"

namespace fixture {

using keybuilder::BuildDemoKey;
using keybuilder::DemoKey;
using keybuilder::Driver;
using keybuilder::KeyBuilder;

}  // namespace fixture
