// Every part of the end-to-end harness, for the few sources that take it whole;
// a test includes the parts it uses.
#pragma once

#include "linux_side.h"
#include "processes.h"
#include "program_files.h"
#include "program_fixture.h"
#include "program_runs.h"
#include "recognition_fixture.h"
#include "registry_support.h"
#include "screenshots.h"
#include "shared_helpers.h"
#include "tray.h"
#include "window_reading.h"
#include "x_input.h"
