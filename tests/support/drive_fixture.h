#pragma once
// What every end-to-end test stands on: a fresh drive D: with TEMP and the stand-in CAD
// installation (tools, batch interpreter, library), the real host behind a FaultHost that makes a
// chosen call fail, the stand-in library behind a FaultCad, and a scripted UI. A fixture derives
// from it and adds only what is its own.

#include <gtest/gtest.h>

#include "platform/host.h"
#include "platform/ufun_library.h"
#include "support/fault_cad.h"
#include "support/fault_host.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace velmora::testing {

// Public, so the tables of parameterised tests can arrange a case.
class DriveFixture : public ::testing::Test {
 public:
  // Declared in construction order: the host reads the drive mapping that TempDrive sets.
  TempDrive drive;
  platform::RealHost realHost;
  FaultHost host{realHost};
  ScriptedUi ui;
  platform::UfunLibrary realCad;
  FaultCad cad{realCad};
};

}  // namespace velmora::testing
